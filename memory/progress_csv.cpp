// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/progress_csv.h"

#include "common/text_file.h"

QString zoma::csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray zoma::progressCsv(const QList<LevelQuestion>& level, const MemoryState& memory,
                             const QDateTime& now, const FsrsParams& params) {
    QString text = QStringLiteral(
        "题号,标签,章节,状态,复习次数,遗忘次数,稳定性,难度,当前记忆概率,下次复习,上次作答,"
        "对错\r\n");
    for (const LevelQuestion& q : level) {
        QStringList row{q.id, q.label, q.chapter};
        const QuestionMemory* m = memory.find(q.id);
        if (m == nullptr || m->card.state == CardState::New) {
            row << zoma::stateName(CardState::New) << QStringLiteral("0") << QStringLiteral("0")
                << QString() << QString() << QStringLiteral("0.000") << QString() << QString()
                << QString();
        } else {
            const Card& c = m->card;
            row << zoma::stateName(c.state) << QString::number(c.reps) << QString::number(c.lapses)
                << QString::number(c.stability, 'f', 2) << QString::number(c.difficulty, 'f', 2)
                << QString::number(zoma::retrievability(c, now, params), 'f', 3)
                << c.due.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) << m->lastChosen
                << (m->lastCorrect ? QStringLiteral("对") : QStringLiteral("错"));
        }
        for (QString& field : row) field = zoma::csvField(field);
        text += row.join(u',');
        text += u"\r\n";
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool zoma::writeProgressCsv(const QString& path, const QList<LevelQuestion>& level,
                            const MemoryState& memory, const QDateTime& now, QString* error,
                            const FsrsParams& params) {
    return zoma::writeBytes(path, zoma::progressCsv(level, memory, now, params), error);
}
