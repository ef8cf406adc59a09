// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "ui/dialogs.h"
#include "ui/window_registry.h"

#include <QWidget>

#include <memory>

namespace Ui {
class Form1;
}

// The main window: the level chooser, read data, and the doors to the
// practice, import, export, exam and study windows.
class Form1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    Form1(QuestionBank& bank, SharedValues& values, Dialogs& dialogs, WindowRegistry& windows,
          const QString& programDir, QWidget* parent = nullptr);
    ~Form1() override;

    // The level at the last press of 模拟考试, for the exam window.
    const QString& examLevel() const { return m_examLevel; }
    // The level at the last press of 学习中心, for the study window.
    const QString& studyLevel() const { return m_studyLevel; }

    static const QString FarewellText;
    static const QString ReimportQuestion;

private:
    void Form_Load(const QString& programDir);
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void examClicked();
    void studyClicked();
    void farewell();

    std::unique_ptr<Ui::Form1> m_ui;
    QuestionBank& m_bank;
    SharedValues& m_values;
    Dialogs& m_dialogs;
    WindowRegistry& m_windows;
    QString m_examLevel;
    QString m_studyLevel;
    bool m_exitWaits = false;  // 退出 waits for an import to end
};
