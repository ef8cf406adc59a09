// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/paper_numbers.h"

#include "common/text_file.h"
#include "common/whole_number.h"

#include <QFileInfo>

const QString PaperNumbers::FileName = QStringLiteral("paper_numbers.txt");

namespace {

const QString kHeader = QStringLiteral("# 已用的试卷编号：日期<Tab>标题<Tab>当天最后一个编号");
const QString kDateFormat = QStringLiteral("yyyyMMdd");
constexpr int kMostNumbers = 1'000'000;

}  // namespace

bool PaperNumbers::load(QString* error) {
    if (!QFileInfo::exists(m_path) && !QFileInfo(m_path).isSymLink()) return true;
    QString text;
    if (!zoma::readTextFile(m_path, &text, &m_reason)) {
        m_broken = true;
        *error = m_reason;
        return false;
    }
    QMap<std::pair<QDate, QString>, int> read;
    LineReader reader(text);
    QStringView line;
    while (reader.next(&line)) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        const QList<QStringView> fields = line.split(u'\t');
        const bool three = fields.size() == 3;
        const QDate date = three ? QDate::fromString(fields[0].toString(), kDateFormat) : QDate();
        const WholeNumber number = three ? WholeNumber::parse(fields[2]) : WholeNumber{};
        if (!date.isValid() || fields[1].isEmpty() || !number.inRange(1, kMostNumbers) ||
            fields[2].trimmed() != fields[2]) {
            m_broken = true;
            m_reason = QStringLiteral("第%1行格式错误，文件保持原样").arg(reader.number());
            *error = m_reason;
            return false;
        }
        int& known = read[{date, fields[1].toString()}];
        known = std::max(known, int(number.value));
    }
    for (auto it = read.cbegin(); it != read.cend(); ++it)
        m_last[it.key()] = std::max(m_last.value(it.key()), it.value());
    return true;
}

int PaperNumbers::last(const QDate& date, const QString& title) const {
    return m_last.value({date, title});
}

bool PaperNumbers::give(const QDate& date, const QString& title, int last, QString* error) {
    int& known = m_last[{date, title}];
    known = std::max(known, last);
    // Another window or copy of the program may have given numbers since.
    if (!m_broken) load(error);
    if (m_broken) {
        *error = m_reason;
        return false;
    }
    QList<QString> lines{kHeader};
    for (auto it = m_last.cbegin(); it != m_last.cend(); ++it) {
        if (it.key().first != date) continue;
        lines << it.key().first.toString(kDateFormat) + u'\t' + it.key().second + u'\t' +
                     QString::number(it.value());
    }
    return zoma::writeTextFile(m_path, lines, error);
}
