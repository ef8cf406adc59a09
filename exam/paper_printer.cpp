// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/paper_printer.h"

#include "exam/paper_pdf.h"
#include "ui/save_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

#include <memory>

const QString PaperPrinter::FileFilter = QStringLiteral("PDF文件(*.pdf)|*.pdf|所有文件(*.*)|*.*");
const QString PaperPrinter::OverwriteQuestion = QStringLiteral("文件已经存在，是否覆盖？");
const QString PaperPrinter::CannotReplaceText = QStringLiteral("无法覆盖已有文件：");
const QString PaperPrinter::FailedText = QStringLiteral("打印失败：");
const QString PaperPrinter::DoneText = QStringLiteral("PDF文件已保存：");
const QString PaperPrinter::NumbersNotKeptText =
    QStringLiteral("已用的试卷编号无法记下，下次打印可能重复：");
const QString PaperPrinter::PictureProblemsText =
    QStringLiteral("以下试题的图片缺失或损坏，打印时略去：");

namespace {

constexpr int kProgressSteps = 1000;  // per file

QString fileName(const QString& title, const QDate& date, int number) {
    return QStringLiteral("%1-%2-%3.pdf").arg(title, date.toString(u"yyyyMMdd")).arg(number);
}

// The files of the papers: the chosen one, or one per paper named after it
// with the paper's number in place of the first one's.
QStringList targets(QString chosen, int first, int count, bool eachFile) {
    if (!chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".pdf");
    if (!eachFile || count == 1) return {chosen};
    QString base = chosen.chopped(4);
    const QString firstTail = QStringLiteral("-%1").arg(first);
    if (base.endsWith(firstTail)) base.chop(firstTail.size());
    QStringList paths;
    for (int k = 0; k < count; ++k) paths << QStringLiteral("%1-%2.pdf").arg(base).arg(first + k);
    return paths;
}

// Whether 取消 has been taken, once everything is written and nothing is
// kept yet. A press under way (a screen reader's lands a moment later, a
// pointer may still be held down) is waited for: once pressed, no file.
bool cancelTaken(const QProgressDialog& progress, const QPointer<QPushButton>& cancel) {
    QCoreApplication::processEvents();
    while (!progress.wasCanceled() && cancel && cancel->isDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return progress.wasCanceled();
}

}  // namespace

int PaperPrinter::firstFreeNumber(const QString& title, const QDate& date, int count) {
    // A record that cannot be read is named when the papers are saved.
    QString error;
    m_numbers.load(&error);
    for (int n = m_numbers.last(date, title) + 1;; ++n) {
        bool free = true;
        for (int k = 0; k < count && free; ++k)
            free = !QFileInfo::exists(m_values.folder().appFile(fileName(title, date, n + k)));
        if (free) return n;
    }
}

QList<PrintPaper> PaperPrinter::mockPapers(const ExamPaper& paper, const QString& level,
                                           const ExamRule& rule, const QDate& today, int first,
                                           int count, const std::function<quint32()>& seed) {
    QList<PrintPaper> papers;
    for (int k = 0; k < count; ++k) {
        ExamRandom random(seed());
        papers.append(
            {level + QStringLiteral("模拟试卷"),
             paper.edition,
             zoma::printedRule(rule),
             today,
             QStringLiteral("%1-%2").arg(today.toString(QStringLiteral("yyyyMMdd"))).arg(first + k),
             zoma::drawExam(paper.questions, rule, random),
             {}});
    }
    return papers;
}

void PaperPrinter::print(const QList<PrintPaper>& papers, int first, bool eachFile,
                         const QString& caption) {
    const QString& title = papers.first().title;
    const QDate& date = papers.first().date;
    const QString chosen = m_dialogs.saveFile(
        FileFilter, m_values.folder().appFile(fileName(title, date, first)), caption);
    if (chosen.isEmpty()) return;
    const QStringList paths = targets(chosen, first, int(papers.size()), eachFile);

    PaperPdf pdf;
    pdf.loadPictures(papers);
    // Up while the papers are written and no longer: the questions and
    // messages of the save stand alone. Shown at once, so that the exam
    // window takes no clicks and no close while it writes.
    std::unique_ptr<QProgressDialog> progress;
    QPointer<QPushButton> cancel;
    const auto write = [&](int index, QIODevice& out, QString* error) {
        if (!progress) {
            progress =
                std::make_unique<QProgressDialog>(QStringLiteral("正在写入PDF文件……"), QString(), 0,
                                                  kProgressSteps * int(paths.size()), m_window);
            cancel = new QPushButton(QStringLiteral("取消"));
            progress->setCancelButton(cancel);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->setAutoReset(false);
            progress->setAutoClose(false);
            progress->setValue(0);
        }
        const QList<PrintPaper> part =
            paths.size() == 1 ? papers : QList<PrintPaper>{papers[index]};
        bool written = pdf.write(
            part, out,
            [&](int done, int total) {
                // Lets the window's events through while it writes.
                progress->setValue(index * kProgressSteps +
                                   done * kProgressSteps / std::max(total, 1));
                return !progress->wasCanceled();
            },
            error);
        const bool last = index + 1 == paths.size();
        if (written && last && cancelTaken(*progress, cancel)) {
            error->clear();
            written = false;
        }
        // Gone before the files are kept: from here 取消 could not stop them.
        if (!written || last) progress.reset();
        return written;
    };
    const zoma::SaveOutcome outcome = zoma::saveFiles(
        m_dialogs, paths, {OverwriteQuestion, CannotReplaceText, FailedText}, write);
    if (outcome != zoma::SaveOutcome::Saved) return;

    QString text = DoneText + QDir::toNativeSeparators(paths.first());
    if (paths.size() > 1) text += QStringLiteral(" 等%1个文件").arg(paths.size());
    QString error;
    if (!m_numbers.give(date, title, first + int(papers.size()) - 1, &error)) {
        text +=
            u'\n' + NumbersNotKeptText + QDir::toNativeSeparators(m_numbers.path()) + u'\n' + error;
    }
    if (!pdf.pictureProblems().isEmpty())
        text += u'\n' + PictureProblemsText + u'\n' + pdf.pictureProblems().join(u'\n');
    m_dialogs.message(text);
}
