// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QList>
#include <QTest>

// A question of the 2025 edition as the study tests put it into the store.
struct StudyQuestion {
    int number;
    const char16_t* label;
    const char16_t* chapter;
    const char16_t* text;
    const char16_t* keys;
};

// Six questions of a 2025 level, in this paper order (not number order),
// with full-width and ASCII forms, chapters 1.1.1, 1.1.2, 1.10.1 and 2.1.1.
inline const QList<StudyQuestion> kStudyQuestions = {
    {7, u"LK0007", u"1.1.1", u"业余无线电台的呼号由谁核发？", u"A"},
    {3, u"LY0003", u"1.1.2", u"ＶＨＦ频段的波长约为多少？", u"B"},
    {12, u"LK0012", u"1.10.1", u"SWR 为 1:1 时，反射功率为：", u"C"},
    {5, u"LX", u"2.1.1", u"下列哪些属于１００ｍＷ以下的发射？", u"AB"},
    {9, u"LK0944", u"2.1.1", u"附图所示天线的名称是：", u"D"},
    {1, u"LY0014、LY0017", u"1.1.1", u"业余业务的主要目的是：", u"ABCD"},
};

inline QString studyId(int number) {
    return QStringLiteral("MC2-%1").arg(number, 4, 10, QLatin1Char('0'));
}

inline void fillStudyBank(QuestionBank& bank,
                          const QList<StudyQuestion>& questions = kStudyQuestions) {
    int k = 0;
    for (const StudyQuestion& s : questions) {
        const int q = s.number;
        const bool stored = bank.PaperIds.set(k++, studyId(q)) && bank.BankId.set(q, studyId(q)) &&
                            bank.Label.set(q, QString::fromUtf16(s.label)) &&
                            bank.Category.set(q, QString::fromUtf16(s.chapter)) &&
                            bank.BankQuestion.set(q, QString::fromUtf16(s.text)) &&
                            bank.Keys.set(q, QString::fromUtf16(s.keys)) &&
                            bank.OptionA.set(q, QStringLiteral("[A]答案甲%1").arg(q)) &&
                            bank.OptionB.set(q, QStringLiteral("[B]Ｂ答案乙%1").arg(q)) &&
                            bank.OptionC.set(q, QStringLiteral("[C]答案丙%1 dBm").arg(q)) &&
                            bank.OptionD.set(q, QStringLiteral("[D]答案丁%1").arg(q));
        if (!stored) QTest::qFail("question number outside the store", __FILE__, __LINE__);
    }
    bank.PaperCount = k;
}
