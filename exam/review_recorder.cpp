// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/review_recorder.h"

#include <QDir>

#include <algorithm>

namespace zoma {

quint8 bankLetters(const ShownQuestion& shown, quint8 chosen) {
    quint8 set = 0;
    for (int i = 0; i < 4; ++i) {
        if (chosen & (1u << i)) set |= quint8(1u << shown.order[i]);
    }
    return set;
}

}  // namespace zoma

ReviewEntry ReviewRecorder::entry(const ShownQuestion& shown, quint8 chosen, Edition edition,
                                  const QString& source, Rating rating, const QDateTime& when,
                                  qint64 milliseconds) {
    ReviewEntry e;
    e.when = zoma::logTime(when);
    e.edition = zoma::editionKey(edition);
    e.id = shown.question.id;
    e.source = source;
    // The bank's letters: the shuffle of one sitting means nothing later.
    e.chosen = zoma::letters(zoma::bankLetters(shown, chosen));
    e.correct = zoma::scores(chosen, shown.correct);
    e.rating = e.correct ? rating : Rating::Again;
    e.seconds = int(std::clamp<qint64>((milliseconds + 500) / 1000, 0, 24 * 3600));
    return e;
}

bool ReviewRecorder::record(const QList<ReviewEntry>& entries) {
    QString error;
    if (m_memory.record(entries, &error)) return true;
    if (!m_reported) {
        m_reported = true;
        m_dialogs.message(QStringLiteral("学习记录无法写入，作答照常进行，本窗口不再提示：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_memory.path()), error));
    }
    return false;
}
