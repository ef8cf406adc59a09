// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/save_file.h"

#include "common/part_file.h"

#include <QFileInfo>

const QString SaveTexts::OverwriteQuestion = QStringLiteral("文件已经存在，是否覆盖？");
const QString SaveTexts::CannotReplace = QStringLiteral("无法覆盖已有文件：");
const QString SaveTexts::Failed = QStringLiteral("导出失败：");

namespace zoma {

SaveOutcome saveFile(Dialogs& dialogs, const QString& path,
                     const std::function<bool(QIODevice& out, QString* error)>& write) {
    const QFileInfo target(path);
    // A folder of that name is left to the writer to report.
    const bool replacing = target.exists() && !target.isDir();
    if (replacing && dialogs.message(SaveTexts::OverwriteQuestion, Dialogs::Buttons::YesNo) !=
                         Dialogs::Answer::Yes) {
        return SaveOutcome::Declined;
    }
    // A new file renamed over the old one, so that a failed write leaves the
    // old file as it was; a link at the path keeps pointing where it did.
    PartFile part(path, PartFile::Links::WriteThrough);
    QString error;
    const auto failed = [&](const QString& what) {
        dialogs.message(what + path + u'\n' + error);
        return SaveOutcome::Failed;
    };
    if (!part.open(QIODevice::Unbuffered, &error))
        return failed(replacing ? SaveTexts::CannotReplace : SaveTexts::Failed);
    if (!write(part.file(), &error)) return failed(SaveTexts::Failed);
    if (!part.commit(&error))
        return failed(replacing ? SaveTexts::CannotReplace : SaveTexts::Failed);
    return SaveOutcome::Written;
}

}  // namespace zoma
