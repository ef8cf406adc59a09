// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/part_file.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <system_error>

std::filesystem::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

PartFile::~PartFile() {
    if (!m_pending) return;
    m_file.close();
    m_file.remove();
}

bool PartFile::open(QIODevice::OpenMode extraMode) {
    constexpr auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const QString folder = QFileInfo(m_destination).path();
    // A short name of its own, so that a destination name at the file
    // system's limit still gets a part file.
    for (int attempt = 0; attempt < 8; ++attempt) {
        m_file.setFileName(
            folder + QStringLiteral("/.zoma-%1.part")
                         .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | extraMode, permissions)) {
            m_pending = true;
            return true;
        }
        const QFileInfo clash(m_file.fileName());
        if (!clash.exists() && !clash.isSymLink()) return false;
    }
    return false;
}

QString PartFile::commit() {
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) return m_file.errorString();
    std::error_code ec;
    std::filesystem::rename(fsPath(m_file.fileName()), fsPath(m_destination), ec);
    if (ec) return QString::fromStdString(ec.message());
    m_pending = false;
    return {};
}
