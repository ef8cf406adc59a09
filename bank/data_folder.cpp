// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Permission bits do not tell whether root may write (an immutable folder, a
// read-only mount), so a file is really made and removed again.
bool canWrite(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.write-test-XXXXXX"));
    return probe.open();
}

bool sameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

QString chooseDataFolder(const QString& programDir, const QString& installedDir,
                         const QString& userDir) {
    // Root may write to /usr/bin, but an installed program must not keep
    // files there: the package manager would leave them behind.
    if (!sameFolder(programDir, installedDir) && canWrite(programDir)) return programDir;
    QDir().mkpath(userDir);  // a failure shows later, where a file is written
    return userDir;
}

QString dataFolder(const QString& programDir) {
    return chooseDataFolder(programDir, QStringLiteral(ZOMA_INSTALLED_BINDIR),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
