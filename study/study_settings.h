// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The study window's settings in AppDir: one "key=value" a line, UTF-8, so a
// person can read and mend it. Keys it does not know are kept as they are.
// A file that cannot be read (not a regular file, too large, not text) gives
// the defaults and is never written afterwards, so the user's file stays.
class StudySettings final {
public:
    static const QString FileName;  // "study.ini"
    static constexpr int DefaultNewPerDay = 20;
    static constexpr int MaxNewPerDay = 2000;
    static constexpr double DefaultRetention = 0.9;

    explicit StudySettings(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // False with the reason when the file is there but cannot be taken; a
    // missing file is the defaults.
    bool load(QString* error);
    bool writable() const { return !m_broken; }

    int newPerDay() const;
    double retention() const;  // within the scheduler's bounds
    // Per level ("A类") and per edition key with level ("2025-A") where the
    // bank's edition matters.
    QDate examDate(const QString& level) const;  // invalid when none is set
    QStringList chapters(const QString& editionLevel) const;
    // 今日复习 asks only the starred questions.
    bool favouritesOnly() const;

    // Each setter writes the whole file through the part-file writer; the
    // value holds for this run even when the file cannot be written.
    bool setNewPerDay(int n, QString* error);
    bool setRetention(double r, QString* error);
    bool setExamDate(const QString& level, const QDate& date, QString* error);
    bool setChapters(const QString& editionLevel, const QStringList& codes, QString* error);
    bool setFavouritesOnly(bool on, QString* error);

private:
    QString value(const QString& key) const;
    bool set(const QString& key, const QString& value, QString* error);

    QString m_path;
    bool m_broken = false;
    QList<QPair<QString, QString>> m_lines;  // in file order
};

namespace zoma {

// "A" for "A类": the settings keys stay ASCII.
QString levelKey(const QString& level);

}  // namespace zoma
