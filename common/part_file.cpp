// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/part_file.h"

#include "common/system_error.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <system_error>

#ifdef Q_OS_WIN
#include "common/windows_file.h"
#endif

namespace {

// The file a write to path lands in when links are written through, as
// QSaveFile does it.
QString linkTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128; ++depth) {
        if (!info.isSymLink()) return info.filePath();
        info.setFile(info.symLinkTarget());
    }
    return path;
}

}  // namespace

std::filesystem::path zoma::fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

PartFile::PartFile(const QString& destination, Links links)
    : m_destination(links == Links::WriteThrough ? linkTarget(destination) : destination),
      m_links(links) {}

PartFile::~PartFile() {
    if (!m_pending) return;
    m_file.close();
    m_file.remove();
}

bool PartFile::open(QIODevice::OpenMode extraMode, QString* error) {
    const QFileInfo destination(m_destination);
    // A folder in the way is never replaced, on any system.
    if (destination.isDir() && (m_links == Links::WriteThrough || !destination.isSymLink())) {
        *error = zoma::errnoReason(EISDIR);
        return false;
    }
    constexpr auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ReadGroup | QFileDevice::ReadOther;
    // A short name of its own, so that a destination name at the file
    // system's limit still gets a part file.
    for (int attempt = 0; attempt < 8; ++attempt) {
        m_file.setFileName(destination.path() + QStringLiteral("/.zoma-%1.part")
                                                    .arg(QRandomGenerator::global()->generate64(),
                                                         16, 16, QLatin1Char('0')));
#ifdef Q_OS_WIN
        // The folder's own access rules, as for any file made there; a
        // read-only mark copied over would keep the part file from going.
        Q_UNUSED(permissions);
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | extraMode)) {
            m_pending = true;
            return true;
        }
#else
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | extraMode, permissions)) {
            m_pending = true;
            if (m_links == Links::WriteThrough && destination.exists())
                m_file.setPermissions(destination.permissions());
            return true;
        }
#endif
        const QFileInfo clash(m_file.fileName());
        if (!clash.exists() && !clash.isSymLink()) break;
    }
    *error = zoma::qtReason(m_file.errorString());
    return false;
}

bool PartFile::commit(QString* error) {
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        *error = zoma::qtReason(m_file.errorString());
        return false;
    }
#ifdef Q_OS_WIN
    if (!zoma::windows::replaceFile(m_file.fileName(), m_destination, error)) return false;
#else
    std::error_code ec;
    std::filesystem::rename(zoma::fsPath(m_file.fileName()), zoma::fsPath(m_destination), ec);
    if (ec) {
        *error = zoma::systemReason(ec);
        return false;
    }
#endif
    m_pending = false;
    return true;
}
