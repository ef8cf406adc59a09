// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/notebook.h"

#include "common/text_file.h"
#include "common/whole_number.h"

#include <QFileInfo>

const QString Notebook::FileName = QStringLiteral("wrong_answers.txt");
const QString ExamHistory::FileName = QStringLiteral("exam_history.txt");

namespace {

const QString kNotebookHeader =
    QStringLiteral("# 错题本：题库版本<Tab>题号<Tab>答错次数<Tab>连续答对次数");
const QString kHistoryHeader = QStringLiteral(
    "# 模拟考试记录：日期时间<Tab>级别<Tab>题库版本<Tab>题数<Tab>得分<Tab>合格<Tab>用时（秒）");
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kPassed = QStringLiteral("合格");
const QString kFailed = QStringLiteral("不合格");

bool number(QStringView text, qint64 high, qint64* value) {
    const WholeNumber n = WholeNumber::parse(text);
    if (!n.inRange(0, high) || text.trimmed() != text) return false;
    *value = n.value;
    return true;
}

// The lines of a file to parse, without comments and empty lines; false with
// the reason when the file exists but cannot be read.
bool contentLines(const QString& path, QString* text, QList<QStringView>* lines,
                  QList<qsizetype>* numbers, QString* error) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;
    QString reason;
    if (!zoma::readTextFile(path, text, &reason)) {
        if (error) *error = reason;
        return false;
    }
    LineReader reader(*text);
    QStringView line;
    while (reader.next(&line)) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        lines->append(line);
        numbers->append(reader.number());
    }
    return true;
}

QString lineError(qsizetype number) {
    return QStringLiteral("第%1行格式错误").arg(number);
}

}  // namespace

bool Notebook::load(QString* error) {
    m_entries.clear();
    QString text;
    QList<QStringView> lines;
    QList<qsizetype> numbers;
    if (!contentLines(m_path, &text, &lines, &numbers, error)) {
        m_broken = true;
        return false;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QStringView> fields = lines[i].split(u'\t');
        Entry entry;
        qint64 wrong = 0, streak = 0;
        if (fields.size() != 4 || !zoma::editionFromKey(fields[0], &entry.edition) ||
            fields[1].isEmpty() || !number(fields[2], 1'000'000, &wrong) ||
            !number(fields[3], RightToLeave - 1, &streak) ||
            find(entry.edition, fields[1].toString())) {
            m_entries.clear();
            m_broken = true;
            if (error) *error = lineError(numbers[i]);
            return false;
        }
        entry.id = fields[1].toString();
        entry.wrong = int(wrong);
        entry.rightStreak = int(streak);
        m_entries.append(std::move(entry));
    }
    return true;
}

bool Notebook::save(QString* error) const {
    if (m_broken) {
        if (error) *error = QStringLiteral("原文件无法读取，未改写");
        return false;
    }
    QList<QString> lines = {kNotebookHeader};
    for (const Entry& e : m_entries) {
        lines.append(zoma::editionKey(e.edition) + u'\t' + e.id + u'\t' + QString::number(e.wrong) +
                     u'\t' + QString::number(e.rightStreak));
    }
    QString reason;
    if (zoma::writeTextFile(m_path, lines, &reason)) return true;
    if (error) *error = reason;
    return false;
}

qsizetype Notebook::indexOf(Edition edition, const QString& id) const {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].edition == edition && m_entries[i].id == id) return i;
    }
    return -1;
}

const Notebook::Entry* Notebook::find(Edition edition, const QString& id) const {
    const qsizetype at = indexOf(edition, id);
    return at < 0 ? nullptr : &m_entries[at];
}

void Notebook::answered(Edition edition, const QString& id, bool right) {
    const qsizetype at = indexOf(edition, id);
    if (right) {
        if (at < 0) return;
        if (++m_entries[at].rightStreak >= RightToLeave) m_entries.removeAt(at);
        return;
    }
    if (at < 0) {
        m_entries.append({edition, id, 1, 0});
    } else {
        ++m_entries[at].wrong;
        m_entries[at].rightStreak = 0;
    }
}

QString ExamHistory::format(const Line& line) {
    return line.when.toString(kTimeFormat) + u'\t' + line.level + u'\t' +
           zoma::editionKey(line.edition) + u'\t' + QString::number(line.count) + u'\t' +
           QString::number(line.score) + u'\t' + (line.passed ? kPassed : kFailed) + u'\t' +
           QString::number(line.seconds);
}

bool ExamHistory::load(QString* error) {
    m_lines.clear();
    QString text;
    QList<QStringView> lines;
    QList<qsizetype> numbers;
    if (!contentLines(m_path, &text, &lines, &numbers, error)) {
        m_broken = true;
        return false;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QStringView> fields = lines[i].split(u'\t');
        Line line;
        qint64 count = 0, score = 0;
        bool ok = fields.size() == 7;
        if (ok) {
            line.when = QDateTime::fromString(fields[0].toString(), kTimeFormat);
            line.level = fields[1].toString();
            ok = line.when.isValid() && !line.level.isEmpty() &&
                 zoma::editionFromKey(fields[2], &line.edition) &&
                 number(fields[3], 2000, &count) && number(fields[4], count, &score) &&
                 (fields[5] == kPassed || fields[5] == kFailed) &&
                 number(fields[6], WholeNumber::Huge, &line.seconds);
        }
        if (!ok) {
            m_lines.clear();
            m_broken = true;
            if (error) *error = lineError(numbers[i]);
            return false;
        }
        line.count = int(count);
        line.score = int(score);
        line.passed = fields[5] == kPassed;
        m_lines.append(std::move(line));
    }
    return true;
}

bool ExamHistory::append(const Line& line, QString* error) {
    if (m_broken) {
        if (error) *error = QStringLiteral("原文件无法读取，未改写");
        return false;
    }
    m_lines.append(line);
    QList<QString> text = {kHistoryHeader};
    for (const Line& l : m_lines) text.append(format(l));
    QString reason;
    if (zoma::writeTextFile(m_path, text, &reason)) return true;
    if (error) *error = reason;
    return false;
}
