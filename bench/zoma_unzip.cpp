// SPDX-License-Identifier: GPL-3.0-or-later
// The import of a package on the command line, as the import window runs it:
// through the bridge into the engine, paths dropped, existing files
// overwritten. It exists to be timed as a whole process against other
// extraction programs.
//
// Usage: zoma_unzip <package.zip> <folder>

#include "import/unzip_bridge.h"
#include "import/unzip_engine.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

// Nobody answers: messages go to standard error, overwrite questions are
// answered Yes, which is what the import's options ask for anyway.
class ConsoleDialogs final : public Dialogs {
public:
    Answer message(const QString& text, Buttons buttons, const QString&) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    QString openFile(const QString&, const QString&, FileMode) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zoma_unzip <package.zip> <folder>\n");
        return 10;
    }
    // The bridge finds the engine's module beside the program.
    QCoreApplication app(argc, argv);
    ConsoleDialogs dialogs;
    UnzipBridge bridge(dialogs);
    bridge.UnzipMessages.clear();
    bridge.UnzipEntryCount = 0;
    const int result = bridge.UnzipArchive(QFile::decodeName(argv[1]), QFile::decodeName(argv[2]),
                                           1, 1, 0, 0, 0, 0);
    return result == UnzipResult::Ok ? 0 : result;
}
