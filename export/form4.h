// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "ui/dialogs.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class Form4;
}

// The export window: the target path, the layout, and the export itself.
class Form4 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form4)

public:
    using Today = std::function<QDate()>;

    // today gives the date of the export's header, read when it is written.
    Form4(const QuestionBank& bank, SharedValues& values, Dialogs& dialogs,
          Today today = &QDate::currentDate, QWidget* parent = nullptr);
    ~Form4() override;

    static const QString& OverwriteQuestion;
    static const QString DoneText;
    static const QString& CannotReplaceText;
    static const QString& FailedText;
    static const QString FileFilter;

private:
    void Form_Load();
    void Command3_Click();
    void Command1_Click();
    void Command2_Click();

    std::unique_ptr<Ui::Form4> m_ui;
    const QuestionBank& m_bank;
    SharedValues& m_values;
    Dialogs& m_dialogs;
    Today m_today;
};
