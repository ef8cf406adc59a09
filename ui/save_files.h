// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

namespace zoma {

// The texts of a save: the question before a file is replaced, and how the
// two kinds of failure message begin.
struct SaveTexts {
    QString overwrite;      // "文件已经存在，是否覆盖？"
    QString cannotReplace;  // an existing file could not be replaced
    QString failed;         // any other failure
};

enum class SaveOutcome { Saved, Declined, Failed, Stopped };

// Writes into out the file of paths[index]; false with the reason, or with
// an empty reason to stop without a message. out reports a short write at
// write() (an unbuffered file).
using WriteFile = std::function<bool(int index, QIODevice& out, QString* error)>;

// Saves files the user chose by the export window's rules: asks once before
// replacing any that exist (a folder of that name is left to the write to
// report), writes each through a part file and renames them over their
// targets only when all are written, so that a failure or a stop leaves the
// old files as they were and no part file behind. A failure is one message
// box: texts.cannotReplace where an existing file could not be replaced,
// else texts.failed, then the path and the reason on a line of its own.
SaveOutcome saveFiles(Dialogs& dialogs, const QStringList& paths, const SaveTexts& texts,
                      const WriteFile& write);

}  // namespace zoma
