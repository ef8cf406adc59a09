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
    m_answers.clear();
    m_readError.clear();
    // A log that cannot be read is not tried again until it changes: it was reported.
    m_knownSize = size;
    if (!m_log.read([this](ReviewEntry&& entry) { keep(entry); }, &m_issues, &m_readError, now)) {
        if (m_readError.isEmpty()) m_readError = QStringLiteral("无法读取");
        m_answers.clear();
        m_issues.clear();
    }
    for (const ReviewEntry& entry : std::as_const(m_unwritten)) keep(entry);
    m_read = true;
    for (auto& [edition, replayed] : m_editions) replayed.current = false;
    return true;
}

const MemoryState& ReviewMemory::state(const QString& edition, const FsrsParams& params,
                                       const QDateTime& now) {
    Replayed& replayed = m_editions[edition];
    if (!replayed.current || !(replayed.params == params)) {
        replayed.state.clear();
        // In UTC once: a comparison with a local time looks the zone up each time.
        const QDateTime latest = now.toUTC();
        const qint32 number = m_textNumbers.value(edition, -1);
        ReviewEntry entry;
        for (const Answer& a : m_answers) {
            if (a.edition != number) continue;
            // What the scheduler reads; UTC needs no allocation of its own.
            entry.when = QDateTime::fromSecsSinceEpoch(a.secs, Qt::UTC);
            entry.id = m_texts[a.id];
            entry.chosen = m_texts[a.chosen];
            entry.correct = a.correct;
            entry.rating = Rating(a.rating);
            replayed.state.apply(entry, params, latest);
        }
        replayed.params = params;
        replayed.current = true;
    }
    return replayed.state;
}

qint32 ReviewMemory::textNumber(const QString& text, int field) {
    qint32& last = m_lastNumbers[field];
    if (last >= 0 && m_texts[last] == text) return last;
    const auto it = m_textNumbers.constFind(text);
    if (it != m_textNumbers.cend()) return last = *it;
    m_texts.append(text);
    return last = *m_textNumbers.insert(text, qint32(m_texts.size() - 1));
}

void ReviewMemory::keep(const ReviewEntry& entry) {
    m_answers.push_back({entry.when.toSecsSinceEpoch(), textNumber(entry.edition, 0),
                         textNumber(entry.id, 1), textNumber(entry.chosen, 2), quint8(entry.rating),
                         entry.correct});
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
    if (m_read)
        for (const ReviewEntry& entry : entries) keep(entry);
    for (const ReviewEntry& entry : entries) {
        const auto it = m_editions.find(entry.edition);
        if (it != m_editions.end() && it->second.current)
            it->second.state.apply(entry, it->second.params);
    }
    emit recorded(entries);
    return written;
}
