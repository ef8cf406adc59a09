// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/exam_rules.h"

#include "common/regular_file.h"
#include "common/system_error.h"
#include "common/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

const QString RuleSettings::FileName = QStringLiteral("exam.ini");

namespace zoma {

ExamRule defaultRule(Edition edition, const QString& level) {
    const QChar letter = level.isEmpty() ? QChar(u'A') : level.front();
    if (edition == Edition::Y2025) {
        if (letter == u'B') return {45, 15, 60, 45};
        if (letter == u'C') return {70, 20, 90, 70};
        return {32, 8, 40, 30};
    }
    if (letter == u'B') return {50, 0, 60, 40};
    if (letter == u'C') return {80, 0, 90, 60};
    return {30, 0, 40, 25};
}

}  // namespace zoma

namespace {

// [2025-A], [2013-2021-C]: ASCII, so the INI file stays readable.
QString group(Edition edition, const QString& level) {
    const QChar letter = level.isEmpty() ? QChar(u'A') : level.front();
    return zoma::editionKey(edition) + u'-' + (letter.unicode() < 128 ? letter : QChar(u'X'));
}

const char* const kKeys[] = {"singles", "multiples", "minutes", "passMark"};

QString statusText(QSettings::Status status) {
    return status == QSettings::FormatError ? QStringLiteral("文件格式错误")
                                            : QStringLiteral("文件无法读写");
}

// Far beyond any settings the window writes.
constexpr qint64 kMaxSettingsSize = 1024 * 1024;

// The settings file as the regular-file reader gives it, copied into a
// private folder for QSettings to parse and change: the library would open
// the user's path itself, waiting on a FIFO and reading a huge file whole.
// The copy goes back through the part-file writer, so the stored format
// stays QSettings' own.
class SettingsCopy final {
public:
    // False with the reason when the file exists but cannot be read.
    bool make(const QString& path, QString* error) {
        QByteArray bytes;
        if (QFileInfo::exists(path) &&
            !zoma::readRegularFile(path, kMaxSettingsSize, &bytes, error)) {
            m_unreadable = true;
            return false;
        }
        if (!m_dir.isValid()) {
            *error = zoma::qtReason(m_dir.errorString());
            return false;
        }
        return zoma::writeBytes(this->path(), bytes, error);
    }
    bool unreadable() const { return m_unreadable; }
    QString path() const { return m_dir.filePath(RuleSettings::FileName); }

    // Writes the copy over the user's file, through a link as before.
    bool store(const QString& destination, QString* error) const {
        QByteArray bytes;
        if (!zoma::readRegularFile(path(), kMaxSettingsSize, &bytes, error)) return false;
        return zoma::writeBytes(destination, bytes, error);
    }

private:
    QTemporaryDir m_dir;
    bool m_unreadable = false;
};

}  // namespace

ExamRule RuleSettings::load(Edition edition, const QString& level, QString* error) {
    ExamRule rule = zoma::defaultRule(edition, level);
    if (!QFileInfo::exists(m_path)) return rule;
    SettingsCopy copy;
    QString reason;
    if (!copy.make(m_path, &reason)) {
        m_broken = true;
        m_reason = reason;
        if (error) *error = reason;
        return rule;
    }
    QSettings settings(copy.path(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        m_broken = true;
        m_reason = statusText(settings.status());
        if (error) *error = m_reason;
        return rule;
    }
    settings.beginGroup(group(edition, level));
    int* fields[] = {&rule.singles, &rule.multiples, &rule.minutes, &rule.passMark};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int value = settings.value(QLatin1String(kKeys[i])).toInt(&ok);
        if (ok && value >= 0 && value <= 2000) *fields[i] = value;
    }
    return rule;
}

bool RuleSettings::save(Edition edition, const QString& level, const ExamRule& rule,
                        QString* error) {
    if (m_broken) {
        if (error) *error = m_reason;
        return false;
    }
    SettingsCopy copy;
    QString reason;
    if (!copy.make(m_path, &reason)) {
        if (copy.unreadable()) {
            m_broken = true;
            m_reason = reason;
        }
        if (error) *error = reason;
        return false;
    }
    {
        QSettings settings(copy.path(), QSettings::IniFormat);
        if (settings.status() != QSettings::NoError) {
            m_broken = settings.status() == QSettings::FormatError;
            m_reason = statusText(settings.status());
            if (error) *error = m_reason;
            return false;
        }
        settings.beginGroup(group(edition, level));
        const int fields[] = {rule.singles, rule.multiples, rule.minutes, rule.passMark};
        for (int i = 0; i < 4; ++i) settings.setValue(QLatin1String(kKeys[i]), fields[i]);
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            if (error) *error = statusText(settings.status());
            return false;
        }
    }
    return copy.store(m_path, error);
}
