// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

QString appDirOf(const QString& programDir) {
    QString dir = QDir::toNativeSeparators(programDir);
    if (!dir.endsWith(ProgramFolder::separator())) dir += ProgramFolder::separator();
    return dir;
}

// Permission bits do not tell whether root may write (an immutable folder, a
// read-only mount), so a file is really made and removed again.
bool canWrite(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.write-test-XXXXXX"));
    return probe.open();
}

bool sameFolder(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// The home folder the user database gives, for a process started without
// HOME (a service, sudo -i with a cleared environment).
[[maybe_unused]] QString accountHome() {
#ifdef Q_OS_UNIX
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir)
        return QFile::decodeName(entry->pw_dir);
#endif
    return {};
}

}  // namespace

ProgramFolder::ProgramFolder(const QString& programDir)
    : m_appDir(appDirOf(programDir)), m_libDir(m_appDir + QStringLiteral("lib")) {}

QChar ProgramFolder::separator() {
    return QDir::separator();
}

QString ProgramFolder::libFile(const QString& fileName) const {
    return m_libDir + separator() + fileName;
}

QString ProgramFolder::findInLibrary(const QString& fileName) const {
    if (m_libDir.isEmpty()) return {};
    const QString exact = libFile(fileName);
    if (QFileInfo(exact).isFile()) return exact;
    // QDir treats wildcard characters in a name as a pattern, so compare by hand.
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const auto same = [&](QStringView a) {
        if (a.size() != fileName.size()) return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (fold(a[i].unicode()) != fold(fileName[i].unicode())) return false;
        }
        return true;
    };
    const QStringList names =
        QDir(m_libDir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    QString other;
    for (const QString& name : names) {
        if (!same(name)) continue;
        const QString path = libFile(name);
        if (QFileInfo(path).isFile()) return path;
        if (other.isEmpty()) other = path;
    }
    // Only something that is no regular file: named, so that reading it says why.
    return other;
}

QString ProgramFolder::chooseDataDir(const QString& programDir, const QString& installedDir,
                                     const QString& userDir, bool* readOnly) {
    if (readOnly) *readOnly = false;
    // Root may write to /usr/bin, but an installed program must not keep
    // files there: the package manager would leave them behind.
    if (!sameFolder(programDir, installedDir) && canWrite(programDir)) return programDir;
    // A user folder that exists but cannot be written shows later, where a
    // file is written.
    if (!userDir.isEmpty() && QDir().mkpath(userDir)) return userDir;
    if (readOnly) *readOnly = true;
    return programDir;
}

QString ProgramFolder::userDataDir(const QString& xdgDataHome, const QString& home,
                                   const QString& accountHome, const QString& appName) {
    // A relative path would depend on the folder the program was started in.
    const auto absolute = [](const QString& path) {
        return !path.isEmpty() && QDir::isAbsolutePath(path);
    };
    QString base;
    if (absolute(xdgDataHome)) {
        base = xdgDataHome;
    } else if (absolute(home)) {
        base = home + QStringLiteral("/.local/share");
    } else if (absolute(accountHome)) {
        base = accountHome + QStringLiteral("/.local/share");
    } else {
        return {};
    }
    return QDir::cleanPath(base + u'/' + appName);
}

QString ProgramFolder::dataDir(const QString& programDir, bool* readOnly) {
#ifdef Q_OS_WIN
    // The installer leaves its uninstaller beside the program: an installed
    // copy keeps its files in the user's application-data folder, even when
    // run as an administrator who may write to Program Files.
    const QString installed =
        QFileInfo::exists(programDir + QStringLiteral("/uninstall.exe")) ? programDir : QString();
    return chooseDataDir(programDir, installed,
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                         readOnly);
#else
    const QString home = qEnvironmentVariable("HOME");
    const QString user = userDataDir(qEnvironmentVariable("XDG_DATA_HOME"), home,
                                     QDir::isAbsolutePath(home) ? QString() : accountHome(),
                                     QCoreApplication::applicationName());
    return chooseDataDir(programDir, QStringLiteral(ZOMA_INSTALLED_BINDIR), user, readOnly);
#endif
}
