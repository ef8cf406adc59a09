// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One question of a bank text as far as the import checks and compares it.
struct TaggedRecord {
    int line = 0;  // line of the record's first tag
    QStringList labels;
    QString category;
    QString id;
    QString question;
    QString key;
    QString answers[4];
    int answerCount = 0;  // how many of [A]..[D] the record has
    QString picture;
};

// A misprinted tag read as the tag it stands for.
struct TaggedRepair {
    int line = 0;
    QString id;       // the record it belongs to
    QString printed;  // the line's start as printed, e.g. "A]"
    QString tag;      // what it was read as, e.g. "[A]"
};

struct TaggedText {
    QString text;  // one tag a line, repairs made, CR LF line ends
    QList<TaggedRecord> records;
    QList<TaggedRepair> repairs;
    int idTags = 0;  // every "[I]" in the text, wherever it stands
};

namespace zoma {

// Cuts the text taken from a bank PDF into its records. Tolerant of what
// the PDF layout leaves: wrapped lines, bare page numbers, form feeds, empty
// lines, tags out of order, several [J] on one line, fields run together
// after a run of blanks. An answer tag printed without its "[" is read as
// that tag only where it must come next.
TaggedText readTaggedText(QStringView text);

// The picture's name without folders, web address or ".jpg": the label the
// picture sheet names it by.
QString pictureLabel(const QString& picture);

}  // namespace zoma
