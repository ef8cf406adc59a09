// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/review_memory.h"

#include <QFileInfo>

ReviewMemory::ReviewMemory(QString logPath, QObject* parent)
    : QObject(parent), m_log(std::move(logPath)) {}

ReviewMemory::~ReviewMemory() = default;

qint64 ReviewMemory::fileSize() const {
    const QFileInfo info(m_log.path());
    return info.exists() ? info.size() : 0;
}

bool ReviewMemory::refresh(const QDateTime& now) {
    if (m_read && fileSize() == m_knownSize) return false;
    const qint64 size = fileSize();
    m_entries.clear();
    m_readError.clear();
    // A log that cannot be read is not tried again until it changes: it was reported.
    m_knownSize = size;
    if (!m_log.read(&m_entries, &m_issues, &m_readError, now)) {
        if (m_readError.isEmpty()) m_readError = QStringLiteral("无法读取");
        m_entries.clear();
        m_issues.clear();
    }
    m_entries.append(m_unwritten);
    m_read = true;
    for (auto& [edition, replayed] : m_editions) replayed.current = false;
    return true;
}

const MemoryState& ReviewMemory::state(const QString& edition, const FsrsParams& params,
                                       const QDateTime& now) {
    Replayed& replayed = m_editions[edition];
    if (!replayed.current || !(replayed.params == params)) {
        replayed.state.replay(m_entries, edition, params, now);
        replayed.params = params;
        replayed.current = true;
    }
    return replayed.state;
}

bool ReviewMemory::record(const QList<ReviewEntry>& entries, QString* error) {
    if (entries.isEmpty()) return true;
    const qint64 before = fileSize();
    const bool written = m_log.append(entries, error);
    if (written) {
        // Another program's lines between our read and this write show in
        // the size, and the log is read again at the next refresh.
        if (m_read && before == m_knownSize) m_knownSize = fileSize();
    } else {
        m_unwritten.append(entries);
    }
    if (m_read) m_entries.append(entries);
    for (const ReviewEntry& entry : entries) {
        const auto it = m_editions.find(entry.edition);
        if (it != m_editions.end() && it->second.current)
            it->second.state.apply(entry, it->second.params);
    }
    emit recorded(entries);
    return written;
}
