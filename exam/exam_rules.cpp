// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/exam_rules.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

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

}  // namespace

ExamRule RuleSettings::load(Edition edition, const QString& level, QString* error) {
    ExamRule rule = zoma::defaultRule(edition, level);
    if (!QFileInfo::exists(m_path)) return rule;
    QSettings settings(m_path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        m_broken = true;
        if (error) *error = statusText(settings.status());
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
        if (error) *error = statusText(QSettings::FormatError);
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        m_broken = settings.status() == QSettings::FormatError;
        if (error) *error = statusText(settings.status());
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
    return true;
}
