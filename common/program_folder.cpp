// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString appDirOf(const QString& programDir) {
    QString dir = QDir::toNativeSeparators(programDir);
    if (!dir.endsWith(ProgramFolder::separator())) dir += ProgramFolder::separator();
    return dir;
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
