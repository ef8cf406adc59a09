// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QWidget>

class QLabel;
class QTextBrowser;

// One question whole: identifier, label and chapter, the question, its four
// answers with the correct ones marked, and its picture. It asks for the
// height of its whole text, up to sixteen lines of the font in use, so that
// the answers stay in view as the text grows; a longer text scrolls.
class QuestionView final : public QWidget {
    Q_OBJECT

public:
    QuestionView(const QuestionBank& bank, const SharedValues& values, QWidget* parent = nullptr);

    // Shows question number q of the store; -1 clears the view.
    void showQuestion(int q);
    QString text() const;  // what the text part shows, as plain text
    bool hasPicture() const;

    QSize minimumSizeHint() const override;

private:
    const QuestionBank& m_bank;
    const SharedValues& m_values;
    QTextBrowser* m_text;
    QLabel* m_picture;
};
