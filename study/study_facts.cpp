// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/study_facts.h"

#include <QTimeZone>

#include <algorithm>
#include <vector>

namespace zoma {

QuestionStanding standing(const QuestionMemory* memory, const QDateTime& now) {
    if (!memory) return {};
    switch (memory->card.state) {
        case CardState::New:
            return {};
        case CardState::Learning:
            return {StudyState::Learning, 0};
        case CardState::Relearning:
            return {StudyState::Lapsed, 0};
        case CardState::Review:
            return {StudyState::Known, retrievability(memory->card, now)};
    }
    return {};
}

QString groupOf(const QuestionBank& bank, int number, bool chapters) {
    if (chapters) {
        const QStringView code = bank.Category.view(number);
        const qsizetype dot = code.indexOf(u'.');
        return (dot < 0 ? code : code.left(dot)).toString();
    }
    const QStringView id = bank.BankId.view(number);
    qsizetype letters = 0;
    while (letters < id.size() && !id[letters].isDigit()) ++letters;
    // LK0123 falls in LK01xx: a hundred questions a bar.
    if (id.size() - letters < 3) return id.left(letters).toString();
    return id.left(id.size() - 2).toString() + QStringLiteral("xx");
}

QList<GroupCounts> groupCounts(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, const QDateTime& now) {
    QList<GroupCounts> groups;
    QHash<QString, qsizetype> at;
    for (const BankRow& row : rows.rows) {
        const QString name = groupOf(bank, row.number, rows.hasChapters());
        auto it = at.constFind(name);
        if (it == at.cend()) {
            it = at.insert(name, groups.size());
            groups.append({name, 0, 0, 0});
        }
        GroupCounts& g = groups[*it];
        const QuestionMemory* m = memory ? memory(bank.BankId.value(row.number)) : nullptr;
        switch (standing(m, now).state) {
            case StudyState::New:
                ++g.fresh;
                break;
            case StudyState::Learning:
            case StudyState::Lapsed:
                ++g.learning;
                break;
            case StudyState::Known:
                ++g.known;
                break;
        }
    }
    // Chapters in their numeric order: 2 before 10.
    std::stable_sort(groups.begin(), groups.end(), [](const GroupCounts& a, const GroupCounts& b) {
        bool okA = false, okB = false;
        const int na = a.name.toInt(&okA), nb = b.name.toInt(&okB);
        if (okA && okB) return na < nb;
        if (okA != okB) return okA;
        return a.name < b.name;
    });
    return groups;
}

QList<ScorePoint> scorePoints(const QList<ExamHistory::Line>& history, const QString& level,
                              const QString& edition) {
    QList<ScorePoint> points;
    for (const ExamHistory::Line& line : history) {
        if (line.level != level || editionKey(line.edition) != edition) continue;
        points.append({line.when, line.score, line.count, line.passed});
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const ScorePoint& a, const ScorePoint& b) { return a.when < b.when; });
    return points;
}

QMap<QDate, int> answersPerDay(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, const QDate& today, int days) {
    QMap<QDate, int> counts;
    if (!memory || days <= 0) return counts;
    const QDate first = today.addDays(1 - days);
    // The local midnights once, and each answer placed among them: a local
    // date for every answer looked the zone up a million times (a stat of
    // /etc/localtime each) over a large log.
    std::vector<qint64> starts;
    for (int i = 0; i <= days; ++i)
        starts.push_back(QDateTime(first.addDays(i), QTime(0, 0)).toSecsSinceEpoch());
    std::vector<int> perDay(size_t(days), 0);
    for (const BankRow& row : rows.rows) {
        const QuestionMemory* m = memory(bank.BankId.value(row.number));
        if (!m) continue;
        // In order (the scheduler's times never go back): the recent ones are last.
        for (auto t = m->answeredAt.crbegin(); t != m->answeredAt.crend(); ++t) {
            if (*t < starts.front()) break;
            const auto after = std::upper_bound(starts.begin(), starts.end(), *t);
            if (after != starts.end()) ++perDay[size_t(after - starts.begin() - 1)];
        }
    }
    for (int i = 0; i < days; ++i)
        if (perDay[size_t(i)] > 0) counts.insert(first.addDays(i), perDay[size_t(i)]);
    return counts;
}

QList<WrongQuestion> mostWrong(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, int count) {
    QList<WrongQuestion> all;
    if (!memory) return all;
    for (const BankRow& row : rows.rows) {
        const QString id = bank.BankId.value(row.number);
        const QuestionMemory* m = memory(id);
        if (m && m->wrong > 0) all.append({id, m->wrong});
    }
    std::stable_sort(all.begin(), all.end(), [](const WrongQuestion& a, const WrongQuestion& b) {
        return a.wrong > b.wrong;
    });
    if (all.size() > count) all.resize(count);
    return all;
}

}  // namespace zoma
