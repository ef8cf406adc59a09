// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "exam/paper_layout.h"
#include "exam/paper_numbers.h"
#include "ui/dialogs.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// 打印试卷… and 打印错题本… of the exam window: the papers' numbers and file
// names, the save dialog, the export window's rules for an existing or
// unwritable file, and a progress dialog with 取消 over the writing.
//
// The writing runs on the window's thread a page at a time; the progress
// dialog lets events through between pages, so the window stays responsive.
class PaperPrinter final {
public:
    static const QString FileFilter;
    static const QString OverwriteQuestion;
    static const QString CannotReplaceText;
    static const QString FailedText;
    static const QString DoneText;
    static const QString PictureProblemsText;
    static const QString NumbersNotKeptText;

    PaperPrinter(const SharedValues& values, Dialogs& dialogs, PaperNumbers& numbers,
                 QWidget* window)
        : m_values(values), m_dialogs(dialogs), m_numbers(numbers), m_window(window) {}

    // The first number n of count new papers of title on date: above every
    // number given out that day, and such that the files
    // <title>-<yyyyMMdd>-n.pdf, ...-(n+1).pdf, ... in the program folder do
    // not exist yet.
    int firstFreeNumber(const QString& title, const QDate& date, int count);

    // count papers drawn from paper by rule, each with a fresh seed, numbered
    // from first.
    static QList<PrintPaper> mockPapers(const ExamPaper& paper, const QString& level,
                                        const ExamRule& rule, const QDate& today, int first,
                                        int count, const std::function<quint32()>& seed);

    // Asks where to save the papers (numbered from first, of one title and
    // date) in a save dialog titled caption, proposing <title>-<yyyyMMdd>-<first>.pdf in the
    // program folder, writes them into one file or one file each, records their numbers as given
    // out, and reports the outcome and the questions printed without their picture.
    void print(const QList<PrintPaper>& papers, int first, bool eachFile, const QString& caption);

private:
    const SharedValues& m_values;
    Dialogs& m_dialogs;
    PaperNumbers& m_numbers;
    QWidget* m_window;
};
