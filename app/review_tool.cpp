// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/review_tool.h"

#include "common/program_folder.h"
#include "exam/exam_window.h"
#include "export/form4.h"
#include "import/form3.h"
#include "main_window/form1.h"
#include "practice/form2.h"
#include "study/study_window.h"

const QString ReviewTool::ReadOnlyText = QStringLiteral(
    "找不到可以保存数据的文件夹：程序所在的文件夹不能写入，也没有可用的用户主目录。\n"
    "本次以只读方式运行：可以读取题库和练习，但导入、导出和考试记录都无法保存。");

ReviewTool::ReviewTool(Dialogs& dialogs, const QString& programDir, Today today)
    : memory(ProgramFolder(programDir).appFile(ReviewLog::FileName)), bridge(dialogs) {
    windows.setFactory(WindowRegistry::Window::Practice,
                       [this, &dialogs] { return new Form2(bank, values, dialogs, random); });
    windows.setFactory(WindowRegistry::Window::Import,
                       [this, &dialogs] { return new Form3(values, dialogs, bridge); });
    windows.setFactory(WindowRegistry::Window::Export,
                       [this, &dialogs, today] { return new Form4(bank, values, dialogs, today); });
    windows.setFactory(WindowRegistry::Window::Exam, [this, &dialogs] {
        return new ExamWindow(bank, values, memory, dialogs, m_form1->examLevel());
    });
    windows.setFactory(WindowRegistry::Window::Study, [this, &dialogs] {
        return new StudyWindow(bank, values, memory, dialogs, m_form1->studyLevel());
    });
    m_form1 = std::make_unique<Form1>(bank, values, dialogs, windows, programDir);
}

// The registry goes before the state its windows refer to (members are
// destroyed in reverse order), and takes its windows with it.
ReviewTool::~ReviewTool() = default;
