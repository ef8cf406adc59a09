// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the pages 题库浏览 and 学习进度 for the README, drawn offscreen
// over a made-up 2025 level of 400 questions, half a year of answers and a
// few mock exams: study_screenshots <folder> writes study-browser.png and
// study-progress.png there.

#include "memory/favourites.h"
#include "study/bank_browser_page.h"
#include "study/progress_page.h"
#include "study/text_zoom.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstdio>
#include <memory>

namespace {

constexpr int kQuestions = 400;
const QString kEdition = QStringLiteral("2025");

const QStringList kTopics = {
    QStringLiteral("业余无线电台的设置和使用应当遵守哪项规定"),
    QStringLiteral("天线的增益与方向图有什么关系"),
    QStringLiteral("在 VHF 频段进行中继通信时应注意"),
    QStringLiteral("驻波比（SWR）为 1.5 时，反射功率约占"),
    QStringLiteral("发射机的杂散发射可能造成"),
    QStringLiteral("电阻串联后的总电阻等于"),
    QStringLiteral("业余卫星通信中多普勒频移的修正方法是"),
    QStringLiteral("ＣＷ 通信中常用的缩语 QRZ 的含义是"),
};

void fill(QuestionBank& bank) {
    for (int n = 1; n <= kQuestions; ++n) {
        const QString id =
            QStringLiteral("MC%1-%2").arg(n % 7 == 0 ? 2 : 1).arg(n, 4, 10, QChar(u'0'));
        const int top = 1 + (n - 1) * 6 / kQuestions;
        const QString chapter = QStringLiteral("%1.%2.%3").arg(top).arg(1 + n % 3).arg(1 + n % 4);
        (void)bank.PaperIds.set(n - 1, id);
        (void)bank.BankId.set(n, id);
        (void)bank.Label.set(n, QStringLiteral("LK%1").arg(n + 100, 4, 10, QChar(u'0')));
        (void)bank.Category.set(n, chapter);
        (void)bank.BankQuestion.set(n,
                                    QStringLiteral("%1（第 %2 题）：").arg(kTopics[n % 8]).arg(n));
        (void)bank.Keys.set(n, n % 7 == 0 ? QStringLiteral("AC") : QString(QChar(u'A' + n % 4)));
        (void)bank.OptionA.set(n, QStringLiteral("[A]说法甲，%1 瓦").arg(n % 50 + 1));
        (void)bank.OptionB.set(n, QStringLiteral("[B]说法乙，%1 欧").arg(n % 30 + 10));
        (void)bank.OptionC.set(n, QStringLiteral("[C]说法丙，%1 MHz").arg(n % 40 + 144));
        (void)bank.OptionD.set(n, QStringLiteral("[D]以上都不对"));
    }
    bank.PaperCount = kQuestions;
}

// Eight weeks of study, the early questions more often, a fifth wrong.
QList<ReviewEntry> log(const QuestionBank& bank, const QDateTime& now) {
    QList<ReviewEntry> entries;
    QRandomGenerator random(20261207);
    QDateTime when = now.addDays(-56);
    while (when < now) {
        const double u = random.generateDouble();
        const int n = 1 + int(u * u * 260);
        ReviewEntry e;
        e.when = zoma::logTime(when);
        e.edition = kEdition;
        e.id = bank.BankId.value(n);
        e.source = QStringLiteral("review");
        e.correct = random.bounded(5) != 0;
        e.rating = e.correct ? Rating::Good : Rating::Again;
        entries.append(e);
        // Some days off, some busy evenings.
        when = when.addSecs(random.bounded(10) == 0 ? 86400 + random.bounded(40000)
                                                    : random.bounded(900));
    }
    return entries;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zoma::installFontFallbacks();
    if (argc != 2) {
        std::fprintf(stderr, "usage: study_screenshots <folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    SharedValues values;
    values.AppDir = dir.path() + u'/';
    values.LibDir = values.AppDir + QStringLiteral("lib");
    values.PracticeLevel = QStringLiteral("C类");
    auto bank = std::make_unique<QuestionBank>();
    fill(*bank);
    const QDateTime now(QDate(2026, 12, 7), QTime(20, 0));
    MemoryState memory;
    memory.replay(log(*bank, now), kEdition, {});
    ExamHistory history(values.folder().appFile(ExamHistory::FileName));
    QString error;
    const int scores[] = {48, 55, 61, 58, 66, 71, 69, 74};
    for (int i = 0; i < 8; ++i) {
        (void)history.append({now.addDays(-50 + 6 * i), values.PracticeLevel, Edition::Y2025, 90,
                              scores[i], scores[i] >= 70, 3000},
                             &error);
    }
    ScriptedDialogs dialogs;
    Favourites favourites(values.AppDir + Favourites::FileName);
    const MemoryLookup lookup = [&memory](const QString& id) { return memory.find(id); };
    for (const int n : {3, 5, 14, 22})
        (void)favourites.set(kEdition, bank->BankId.value(n), true, &error);

    // 题库浏览 as 学习中心 shows it at its first size, beside the list of pages.
    QWidget window;
    auto* pages = new QListWidget;
    pages->addItems(
        {QStringLiteral("今日复习"), QStringLiteral("题库浏览"), QStringLiteral("学习进度")});
    pages->setCurrentRow(1);
    pages->setMaximumWidth(120);
    auto* browserPage = new BankBrowserPage(*bank, values, dialogs, favourites, lookup);
    BankBrowserPage& browser = *browserPage;
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(pages);
    layout->addWidget(browserPage, 1);
    browser.setClock([now] { return now; });
    window.resize(980, 680);
    window.show();
    browser.findChild<QLineEdit*>(QStringLiteral("searchBox"))
        ->setText(QStringLiteral("天线 增益"));
    browser.showQuestion(bank->BankId.value(9));
    ProgressPage progress(*bank, values, lookup);
    progress.setClock([now] { return now; });
    progress.resize(900, 1150);
    progress.show();
    QCoreApplication::processEvents();
    bool saved = window.grab().save(QDir(out).filePath(QStringLiteral("study-browser.png")));
    saved = progress.grab().save(QDir(out).filePath(QStringLiteral("study-progress.png"))) && saved;
    if (!saved) std::fprintf(stderr, "cannot write the pictures into %s\n", argv[1]);
    return saved ? 0 : 1;
}
