// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QIODevice>
#include <QString>

#include <functional>

// The rules of every export for the file it writes: asked before an existing
// file is replaced, written through a part file so that a failure leaves the
// old one as it was, and one message naming the file when it fails.
struct SaveTexts {
    static const QString OverwriteQuestion;
    static const QString CannotReplace;
    static const QString Failed;
};

enum class SaveOutcome { Written, Declined, Failed };

namespace zoma {

// Writes path through write, which gets an unbuffered device (a short write
// is reported at write()) and returns false with the reason on failure.
// Asks first when a file (not a folder) stands at path; the failure message
// is shown here, the success message is left to the caller.
SaveOutcome saveFile(Dialogs& dialogs, const QString& path,
                     const std::function<bool(QIODevice& out, QString* error)>& write);

}  // namespace zoma
