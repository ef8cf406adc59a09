// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "practice/random_order.h"
#include "ui/dialogs.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class Form2;
}

// The practice window: one question of the paper at a time, chosen by the
// sequence number in Text3. Every change of that field shows the question and
// rewrites the resume record record.txt in AppDir.
class Form2 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form2)

public:
    // Runs Form_Load, which may ask about the resume record before the window
    // is shown.
    Form2(const QuestionBank& bank, const SharedValues& values, Dialogs& dialogs,
          RandomOrder& random, QWidget* parent = nullptr);
    ~Form2() override;

    static const QString ResumeQuestion;
    static const QString InputError;
    static const QString RecordError;
    static const QString RecordReadError;
    static const QString PictureError;
    static const QString IdPrefix;
    static const QString RecordName;

    void ShowQuestion();
    void ShowAnswers(int q);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Text3_Change();
    bool Text3_KeyPress(QChar typed) const;
    void Check1_Click();
    void Check2_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Assigning the field always runs Text3_Change, also when the text stays
    // the same, so that a rejected number is reported again.
    void setSequence(const QString& text);
    // The paper entry of the sequence number in Text3, if it holds a valid one.
    std::optional<QString> currentEntry() const;
    void showPicture(const QString& entry);
    void writeRecord(const QString& text);
    QString recordPath() const;

    std::unique_ptr<Ui::Form2> m_ui;
    const QuestionBank& m_bank;
    const SharedValues& m_values;
    Dialogs& m_dialogs;
    RandomOrder& m_random;
    bool m_recordErrorShown = false;
};
