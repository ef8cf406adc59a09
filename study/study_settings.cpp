// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/study_settings.h"

#include "common/regular_file.h"
#include "common/text_file.h"
#include "memory/fsrs.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

const QString StudySettings::FileName = QStringLiteral("study.ini");

namespace {

// A settings file is a few hundred bytes; anything near this is not one.
constexpr qint64 kMaxSettingsSize = 64 * 1024;

const QString kNewPerDay = QStringLiteral("newPerDay");
const QString kRetention = QStringLiteral("retention");
const QString kFavouritesOnly = QStringLiteral("favouritesOnly");

QString examDateKey(const QString& level) {
    return QStringLiteral("examDate.") + zoma::levelKey(level);
}

QString chaptersKey(const QString& editionLevel) {
    return QStringLiteral("chapters.") + editionLevel;
}

}  // namespace

namespace zoma {

QString levelKey(const QString& level) {
    const QChar letter = level.isEmpty() ? QChar(u'A') : level.front();
    return letter.unicode() < 128 ? QString(letter) : QStringLiteral("X");
}

}  // namespace zoma

bool StudySettings::load(QString* error) {
    m_lines.clear();
    m_broken = false;
    if (!QFileInfo(m_path).exists() && !QFileInfo(m_path).isSymLink()) return true;
    QByteArray bytes;
    QString reason;
    if (!zoma::readRegularFile(m_path, kMaxSettingsSize, &bytes, &reason)) {
        m_broken = true;
        if (error) *error = reason;
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        m_broken = true;
        if (error) *error = QStringLiteral("不是 UTF-8 文本");
        return false;
    }
    LineReader lines(text);
    QStringView line;
    while (lines.next(&line)) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq <= 0) {
            m_broken = true;
            m_lines.clear();
            if (error) *error = QStringLiteral("第 %1 行不是“名称=值”").arg(lines.number());
            return false;
        }
        m_lines.append(
            {trimmed.first(eq).trimmed().toString(), trimmed.sliced(eq + 1).trimmed().toString()});
    }
    return true;
}

QString StudySettings::value(const QString& key) const {
    for (const auto& [k, v] : m_lines) {
        if (k == key) return v;
    }
    return {};
}

int StudySettings::newPerDay() const {
    bool ok = false;
    const int n = value(kNewPerDay).toInt(&ok);
    return ok && n >= 0 && n <= MaxNewPerDay ? n : DefaultNewPerDay;
}

double StudySettings::retention() const {
    bool ok = false;
    const double r = value(kRetention).toDouble(&ok);
    return ok && r >= FsrsParams::MinRetention && r <= FsrsParams::MaxRetention ? r
                                                                                : DefaultRetention;
}

QDate StudySettings::examDate(const QString& level) const {
    return QDate::fromString(value(examDateKey(level)), Qt::ISODate);
}

QStringList StudySettings::chapters(const QString& editionLevel) const {
    return value(chaptersKey(editionLevel)).split(u',', Qt::SkipEmptyParts);
}

bool StudySettings::favouritesOnly() const {
    return value(kFavouritesOnly) == u'1';
}

bool StudySettings::setNewPerDay(int n, QString* error) {
    return set(kNewPerDay, QString::number(std::clamp(n, 0, MaxNewPerDay)), error);
}

bool StudySettings::setRetention(double r, QString* error) {
    r = std::clamp(r, FsrsParams::MinRetention, FsrsParams::MaxRetention);
    return set(kRetention, QString::number(r, 'f', 2), error);
}

bool StudySettings::setExamDate(const QString& level, const QDate& date, QString* error) {
    return set(examDateKey(level), date.isValid() ? date.toString(Qt::ISODate) : QString(), error);
}

bool StudySettings::setChapters(const QString& editionLevel, const QStringList& codes,
                                QString* error) {
    return set(chaptersKey(editionLevel), codes.join(u','), error);
}

bool StudySettings::setFavouritesOnly(bool on, QString* error) {
    return set(kFavouritesOnly, on ? QStringLiteral("1") : QStringLiteral("0"), error);
}

bool StudySettings::set(const QString& key, const QString& value, QString* error) {
    auto it = std::find_if(m_lines.begin(), m_lines.end(),
                           [&](const auto& line) { return line.first == key; });
    if (it == m_lines.end()) {
        m_lines.append({key, value});
    } else {
        it->second = value;
    }
    // Kept for this window all the same; only the file is left alone.
    if (m_broken) {
        if (error) *error = QStringLiteral("文件无法读取，不会改写");
        return false;
    }
    QByteArray bytes;
    for (const auto& [k, v] : m_lines) bytes += (k + u'=' + v + u'\n').toUtf8();
    QString reason;
    if (zoma::writeBytes(m_path, bytes, &reason)) return true;
    if (error) *error = reason;
    return false;
}
