// SPDX-License-Identifier: GPL-3.0-or-later
// 今日复习 as the user meets it: an answer (letter A), a rating (简单 when
// right) and a move to the next question of the queue, each of which has a
// picture of about 100 KB; the log line appended, the memory and the queue
// brought up to date, the window painted.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "study/study_window.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void answerRateNext(benchmark::State& state, const BenchContext& context) {
    // A program folder of its own beside the practice library, so that the
    // log starts empty and every question of the paper is new.
    const QString appDir = context.inputs.root + QStringLiteral("/study/");
    QDir(appDir).removeRecursively();
    QDir().mkpath(appDir);
    QFile settings(appDir + StudySettings::FileName);
    if (!settings.open(QIODevice::WriteOnly) || settings.write("newPerDay=2000\n") < 0) {
        state.SkipWithError("cannot write the settings");
        return;
    }
    settings.close();
    SharedValues values;
    values.AppDir = appDir;
    values.LibDir = context.inputs.practiceLibDir;
    QuestionBank bank;
    if (zoma::ReadData(bank, values, kBenchLevel).status != LoadResult::Status::Loaded) {
        state.SkipWithError("the library did not load");
        return;
    }
    // Ten minutes a press, so that the learning steps of the paper's dozen
    // questions keep falling due and the queue never runs dry.
    QDateTime now = QDateTime::currentDateTime();
    StudyEnvironment env = StudyEnvironment::system();
    env.now = [&now] { return now; };
    SilentDialogs dialogs;
    ReviewMemory memory(values.folder().appFile(ReviewLog::FileName));
    StudyWindow window(bank, values, memory, dialogs, kBenchLevel, env);
    if (!showExposed(window)) {
        state.SkipWithError("the study window did not show");
        return;
    }
    DailyReviewPage* page = window.dailyReview();
    auto* letter = page->findChild<QPushButton*>(QStringLiteral("letterA"));
    auto* easy = page->findChild<QPushButton*>(QStringLiteral("ratingEasy"));
    auto* next = page->findChild<QPushButton*>(QStringLiteral("nextButton"));
    if (!letter || !easy || !next || page->stage() != DailyReviewPage::Stage::Asking) {
        state.SkipWithError("no question asked");
        return;
    }
    const auto press = [&] {
        now = now.addSecs(600);
        // Rare: everything learnt is due days later; the next day asks it.
        if (page->stage() == DailyReviewPage::Stage::Empty) {
            now = now.addDays(1);
            page->refresh();
        }
        letter->click();
        if (easy->isEnabled()) easy->click();
        next->click();
    };
    timePresses(state, window, press, dialogs.unexpected);
}

}  // namespace

void registerStudyWindowBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::StudyAnswer, answerRateNext, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
}
