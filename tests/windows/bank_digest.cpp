// SPDX-License-Identifier: GPL-3.0-or-later
// Imports a question-bank package as the import window does, reads each
// level and exports it, printing for every level its outcome and the
// SHA-256 of the export: built for Linux and for Windows, the two lists must
// be equal (scripts/windows/compare-banks.sh).
//
// Usage: bank_digest <package.zip> <empty folder>
#include "bank/read_data.h"
#include "common/program_folder.h"
#include "export/output.h"
#include "import/unzip_bridge.h"
#include "tests/support/scripted_dialogs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: bank_digest <package.zip> <empty folder>\n");
        return 2;
    }
    SharedValues values;
    values.setFolder(ProgramFolder(args[2]));
    if (!QDir().mkpath(values.LibDir)) return 2;

    ScriptedDialogs dialogs;
    UnzipBridge bridge(dialogs);
    // As the import window: no questions, overwrite, extract, drop the
    // archive's folders, every entry.
    const int result = bridge.UnzipArchive(args[1], values.LibDir, 0, 1, 0, 0, 0, 0);
    std::printf("unzip %d\n", result);

    for (const QString& level :
         {QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")}) {
        QuestionBank bank;
        const LoadResult loaded = zoma::ReadData(bank, values, level);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QStringList unusable;
        QString error;
        values.PracticeLevel = level;
        const bool written = zoma::output(bank, values, out, ExportLayout::LineSeparated, false,
                                          QDate(2026, 1, 1), &unusable, &error);
        std::printf(
            "%s %s %d %s\n", qUtf8Printable(level), qUtf8Printable(loaded.message(level)),
            int(written),
            QCryptographicHash::hash(out.data(), QCryptographicHash::Sha256).toHex().constData());
    }
    return 0;
}
