// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/review_log.h"

#include "common/regular_file.h"
#include "common/system_error.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <unordered_set>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

const QString ReviewLog::FileName = QStringLiteral("review-log.tsv");

namespace {

constexpr int kFields = 8;

QString clean(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return text;
}

// Days from 1970-01-01 to a civil date (Howard Hinnant's algorithm): parsing
// a million times through QDateTime::fromString cost seconds at start.
qint64 daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return qint64(era) * 146097 + doe - 719468;
}

// The digits at text[from, from + n) as a number, or -1.
int digits(QStringView text, qsizetype from, int n) {
    int value = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[from + i].unicode();
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// 2026-12-07T14:35:02+08:00, or with Z for UTC.
bool parseTime(QStringView t, QDateTime* when) {
    if (t.size() != 25 && t.size() != 20) return false;
    if (t[4] != u'-' || t[7] != u'-' || t[10] != u'T' || t[13] != u':' || t[16] != u':')
        return false;
    const int y = digits(t, 0, 4), mo = digits(t, 5, 2), d = digits(t, 8, 2);
    const int h = digits(t, 11, 2), mi = digits(t, 14, 2), s = digits(t, 17, 2);
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || h > 23 || mi > 59 || s > 59) return false;
    if (!QDate::isValid(y, mo, d)) return false;
    int offset = 0;
    if (t.size() == 20) {
        if (t[19] != u'Z') return false;
    } else {
        const QChar sign = t[19];
        const int oh = digits(t, 20, 2), om = digits(t, 23, 2);
        if ((sign != u'+' && sign != u'-') || t[22] != u':' || oh < 0 || oh > 14 || om < 0 ||
            om > 59)
            return false;
        offset = (oh * 60 + om) * 60 * (sign == u'-' ? -1 : 1);
    }
    const qint64 secs = daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s - offset;
    *when = QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, offset);
    return true;
}

QString timeText(const QDateTime& when) {
    const int offset = when.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

bool isLetters(QStringView text) {
    for (const QChar c : text)
        if (c < u'A' || c > u'D') return false;
    return true;
}

}  // namespace

QDateTime zoma::logTime(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    return QDateTime::fromSecsSinceEpoch(when.toSecsSinceEpoch(), Qt::OffsetFromUTC,
                                         local.offsetFromUtc());
}

QString zoma::reviewLine(const ReviewEntry& entry) {
    return QStringList{timeText(logTime(entry.when)),
                       clean(entry.edition),
                       clean(entry.id),
                       clean(entry.source),
                       clean(entry.chosen),
                       entry.correct ? QStringLiteral("1") : QStringLiteral("0"),
                       QString::number(int(entry.rating)),
                       QString::number(qMax(0, entry.seconds))}
        .join(u'\t');
}

namespace {

// The few distinct texts of a log (editions, sources, letters, a few thousand
// identifiers) kept once each: a million lines then cost one allocation each
// for their time and nothing for their texts (see BENCHMARKS.md).
class Texts {
public:
    // The field's text; most lines repeat the line before, so that is tried first.
    QString get(QStringView text, int field) {
        QString& last = m_last[field];
        if (last == text) return last;
        last = get(text);
        return last;
    }
    QString get(QStringView text) {
        const auto it = m_texts.find(text);
        if (it != m_texts.end()) return *it;
        return *m_texts.insert(text.toString()).first;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(QStringView text) const { return qHash(text); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a == b; }
    };
    std::unordered_set<QString, Hash, Equal> m_texts;
    std::array<QString, kFields> m_last;
};

QString text(QStringView view, int field, Texts* texts) {
    return texts != nullptr ? texts->get(view, field) : view.toString();
}

bool parseLine(QStringView line, ReviewEntry* entry, QString* reason, Texts* texts) {
    std::array<QStringView, kFields> f;
    qsizetype count = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] != u'\t') continue;
        if (count < kFields) f[count] = line.sliced(from, i - from);
        ++count;
        from = i + 1;
    }
    if (count != kFields) {
        *reason = QStringLiteral("应有 %1 栏，实有 %2 栏").arg(kFields).arg(count);
        return false;
    }
    ReviewEntry e;
    if (!parseTime(f[0], &e.when)) {
        *reason = QStringLiteral("时间无法识别");
        return false;
    }
    if (f[1].isEmpty() || f[2].isEmpty() || f[3].isEmpty()) {
        *reason = QStringLiteral("版本、题号或来源为空");
        return false;
    }
    e.edition = text(f[1], 1, texts);
    e.id = text(f[2], 2, texts);
    e.source = text(f[3], 3, texts);
    if (!isLetters(f[4])) {
        *reason = QStringLiteral("所选答案只能是 A 到 D");
        return false;
    }
    e.chosen = text(f[4], 4, texts);
    if (f[5] != u"1" && f[5] != u"0") {
        *reason = QStringLiteral("对错应为 1 或 0");
        return false;
    }
    e.correct = f[5] == u"1";
    const int rating = f[6].size() == 1 ? digits(f[6], 0, 1) : -1;
    if (rating < 1 || rating > 4) {
        *reason = QStringLiteral("评分应为 1 到 4");
        return false;
    }
    e.rating = Rating(rating);
    bool ok = false;
    e.seconds = f[7].toInt(&ok);
    if (!ok || e.seconds < 0) {
        *reason = QStringLiteral("用时应为不小于 0 的整数");
        return false;
    }
    *entry = std::move(e);
    return true;
}

}  // namespace

bool zoma::parseReviewLine(QStringView line, ReviewEntry* entry, QString* reason) {
    return parseLine(line, entry, reason, nullptr);
}

bool ReviewLog::append(const ReviewEntry& entry, QString* error) {
    return append(QList<ReviewEntry>{entry}, error);
}

bool ReviewLog::append(const QList<ReviewEntry>& entries, QString* error) {
    if (entries.isEmpty()) return true;
    QByteArray line;
    for (const ReviewEntry& entry : entries) line += zoma::reviewLine(entry).toUtf8() + '\n';
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(m_path);
    struct stat info {};
    // Checked before opening: opening a device can itself do something.
    if (::stat(path.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *error = QStringLiteral("不是普通文件");
        return false;
    }
    // O_NONBLOCK: a FIFO planted after the check does not wait. Read access
    // for the look at the last byte.
    const int fd =
        ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = zoma::errnoReason(errno);
        return false;
    }
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        *error = QStringLiteral("不是普通文件");
    } else if (info.st_size > 0) {
        // A line cut short by a power cut stays as it is, but on a line of its own.
        char last = '\n';
        if (::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n') line.prepend('\n');
    }
    for (qsizetype done = 0; ok && done < line.size();) {
        const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = zoma::errnoReason(n < 0 ? errno : ENOSPC);
            ok = false;
        } else {
            done += n;
        }
    }
    if (::close(fd) != 0 && ok) {
        *error = zoma::errnoReason(errno);
        ok = false;
    }
    return ok;
#else
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("不是普通文件");
        return false;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ReadOnly)) {
        *error = zoma::qtReason(file.errorString());
        return false;
    }
    if (file.size() > 0 && file.seek(file.size() - 1)) {
        char last = '\n';
        if (file.getChar(&last) && last != '\n') line.prepend('\n');
    }
    if (file.write(line) != line.size()) {
        *error = zoma::qtReason(file.errorString());
        return false;
    }
    return true;
#endif
}

bool ReviewLog::read(QList<ReviewEntry>* entries, QList<LogIssue>* issues, QString* error,
                     const QDateTime& latest) const {
    entries->clear();
    return read([entries](ReviewEntry&& entry) { entries->append(std::move(entry)); }, issues,
                error, latest);
}

bool ReviewLog::read(const std::function<void(ReviewEntry&&)>& take, QList<LogIssue>* issues,
                     QString* error, const QDateTime& latest) const {
    issues->clear();
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink()) return true;
    QByteArray bytes;
    if (!zoma::readRegularFile(m_path, MaxSize, &bytes, error)) return false;
    qsizetype start = 0;
    qsizetype number = 0;
    QString line;
    Texts texts;
    std::optional<qint64> latestSecs;
    if (latest.isValid()) latestSecs = latest.toSecsSinceEpoch();
    while (start < bytes.size()) {
        ++number;
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            issues->append({number, QStringLiteral("最后一行不完整（写入时中断）")});
            break;
        }
        QByteArrayView raw(bytes.constData() + start, end - start);
        start = end + 1;
        if (raw.endsWith('\r')) raw.chop(1);
        if (raw.isEmpty()) continue;
        // Widened in place when ASCII, as every line the program writes is
        // but for unusual identifiers.
        line.resize(raw.size());
        char16_t* out = reinterpret_cast<char16_t*>(line.data());
        uchar high = 0;
        for (const char c : raw) {
            high |= uchar(c);
            *out++ = char16_t(uchar(c));
        }
        if (high >= 0x80) line = QString::fromUtf8(raw);
        ReviewEntry entry;
        QString reason;
        if (!parseLine(line, &entry, &reason, &texts)) {
            issues->append({number, reason});
            continue;
        }
        if (latestSecs && entry.when.toSecsSinceEpoch() > *latestSecs)
            issues->append({number, QStringLiteral("时间晚于现在"), true});
        take(std::move(entry));
    }
    return true;
}
