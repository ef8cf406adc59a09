// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_paper.h"

#include <QString>

// What an exam asks for: how many questions of each kind, how long, and how
// many right answers pass.
struct ExamRule {
    int singles = 0;
    int multiples = 0;
    int minutes = 0;
    int passMark = 0;

    friend bool operator==(const ExamRule&, const ExamRule&) = default;
};

namespace zoma {

// The rule in force for an edition and a level ("A类", "B类", "C类"); a level
// the rules do not know gets the A类 rule.
ExamRule defaultRule(Edition edition, const QString& level);

}  // namespace zoma

// The rules a user changed, per edition and level, in an INI file.
class RuleSettings final {
public:
    static const QString FileName;

    explicit RuleSettings(QString path) : m_path(std::move(path)) {}

    // The stored rule, or the default where nothing (or nothing usable) is
    // stored. A file that cannot be read (no regular file, too large) or
    // parsed yields the defaults and an error; it is then never written, so
    // the user's file stays as it was.
    ExamRule load(Edition edition, const QString& level, QString* error);
    bool save(Edition edition, const QString& level, const ExamRule& rule, QString* error);

private:
    QString m_path;
    bool m_broken = false;
    QString m_reason;  // why the file is not written
};
