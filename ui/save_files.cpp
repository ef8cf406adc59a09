// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/save_files.h"

#include "common/part_file.h"

#include <QFileInfo>

#include <memory>
#include <vector>

zoma::SaveOutcome zoma::saveFiles(Dialogs& dialogs, const QStringList& paths,
                                  const SaveTexts& texts, const WriteFile& write) {
    QList<bool> replacing;
    bool anyReplaced = false;
    for (const QString& path : paths) {
        const QFileInfo target(path);
        replacing << (target.exists() && !target.isDir());
        anyReplaced = anyReplaced || replacing.last();
    }
    if (anyReplaced &&
        dialogs.message(texts.overwrite, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return SaveOutcome::Declined;
    }

    QString error;
    const auto failed = [&](const QString& what, int i) {
        dialogs.message(what + paths[i] + u'\n' + error);
        return SaveOutcome::Failed;
    };
    std::vector<std::unique_ptr<PartFile>> parts;
    for (int i = 0; i < paths.size(); ++i) {
        parts.push_back(std::make_unique<PartFile>(paths[i], PartFile::Links::WriteThrough));
        if (!parts.back()->open(QIODevice::Unbuffered, &error))
            return failed(replacing[i] ? texts.cannotReplace : texts.failed, i);
        if (!write(i, parts.back()->file(), &error)) {
            if (error.isEmpty()) return SaveOutcome::Stopped;
            return failed(texts.failed, i);
        }
    }
    for (int i = 0; i < paths.size(); ++i) {
        if (!parts[i]->commit(&error))
            return failed(replacing[i] ? texts.cannotReplace : texts.failed, i);
    }
    return SaveOutcome::Saved;
}
