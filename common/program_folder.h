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

private:
    QString m_appDir;
    QString m_libDir;
};
