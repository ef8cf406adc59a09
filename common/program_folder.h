// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the program lives and where its question-bank library is: the one
// place that builds these paths. The program writes paths with the
// platform's separator.
class ProgramFolder final {
public:
    // The folders of a program whose file lies in programDir.
    explicit ProgramFolder(const QString& programDir);
    // Folders as the shared values hold them.
    ProgramFolder(QString appDir, QString libDir)
        : m_appDir(std::move(appDir)), m_libDir(std::move(libDir)) {}

    // The program directory with exactly one separator at its end (none is
    // added when it already ends in one, as a drive root or "/" does).
    const QString& appDir() const { return m_appDir; }
    // appDir() + "lib", no separator at its end.
    const QString& libDir() const { return m_libDir; }

    QString appFile(const QString& fileName) const { return m_appDir + fileName; }
    QString libFile(const QString& fileName) const;

    // A file directly in the library folder, its name matched without
    // regard to ASCII letter case (packages come from Windows), a regular
    // file before any other kind. Empty if there is none.
    QString findInLibrary(const QString& fileName) const;

    static QChar separator();

    // The folder that keeps the library, the record and the exports: the
    // program's own folder when it can be written (a build folder, a copied
    // folder, a USB stick) and is not the folder the program was installed
    // to; userDir otherwise, created here when missing. When neither can be
    // had (no userDir, or it cannot be made), the program's folder, and
    // *readOnly is set: the program reads and practises, and its writes fail.
    // Decided once at start, so one run never mixes the two places.
    static QString chooseDataDir(const QString& programDir, const QString& installedDir,
                                 const QString& userDir, bool* readOnly = nullptr);
    // The per-user data folder by the XDG rules: xdgDataHome when it is an
    // absolute path, else <home>/.local/share, home being HOME when absolute,
    // else the user database's entry. Empty when none gives one.
    static QString userDataDir(const QString& xdgDataHome, const QString& home,
                               const QString& accountHome, const QString& appName);
    // The same for this process: the folder the build installs to, and the
    // per-user data folder from its environment. On Windows the user's
    // application-data folder, and a copy the installer put there (its
    // uninstaller beside it) counts as installed.
    static QString dataDir(const QString& programDir, bool* readOnly = nullptr);

private:
    QString m_appDir;
    QString m_libDir;
};
