// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The inputs of every benchmark, made afresh in a temporary folder so that a
// run depends on nothing outside it. All of it is deterministic: the same
// seed gives the same bytes on every machine.
struct BenchInputs {
    QString root;

    // The package as a user receives it: bank file, three paper lists and 60
    // JPEG pictures in a folder, names in GBK without the UTF-8 flag.
    QString package;
    qint64 packageBytes = 0;

    // The same files unpacked, as an import leaves them.
    QString libDir;
    QString bankFile;
    QString paperFile;  // the C类 list: every identifier of the bank
    qint64 bankBytes = 0;
    int bankRecords = 0;
    int paperIds = 0;

    // The C类 level file of the 2025 edition, 1282 records, each alone in a
    // library folder: tagged text as copied out of the PDFs (UTF-8, wrapped
    // lines, page numbers and form feeds) and the CSV conversion (UTF-8).
    QString taggedLibDir;
    QString taggedFile;
    QString csvLibDir;
    QString csvFile;
    int levelRecords = 0;

    // A program folder beside its own lib/ (a copy of libDir), where the real
    // program runs so that it finds the package without looking elsewhere.
    QString programDir;

    // A library whose paper questions each have a picture of about 100 KB,
    // for stepping through the practice window.
    QString practiceAppDir;
    QString practiceLibDir;
    qint64 practicePictureBytes = 0;  // mean size of its pictures
};

inline const QString kBenchLevel = QStringLiteral("C类");

// Writes everything below root; throws std::runtime_error with the reason
// when a file cannot be made.
BenchInputs makeBenchInputs(const QString& root);
