// SPDX-License-Identifier: GPL-3.0-or-later
// The exam window as the user meets it: a press of 开始考试 (the draw, the
// first question shown and painted) on the C类 paper of 2001 questions, and
// an answer plus a move to the next question, each of which has a picture of
// about 100 KB.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "exam/exam_window.h"

#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The window over a library read as the read-data button reads it; the
// program folder is a fresh one so that no notebook or settings interfere.
struct ExamBench {
    SharedValues values;
    std::unique_ptr<QuestionBank> bank = std::make_unique<QuestionBank>();
    SilentDialogs dialogs;
    std::unique_ptr<ReviewMemory> memory;
    std::unique_ptr<ExamWindow> window;
    quint32 seeds = 1;

    QString open(const QString& appDir, const QString& libDir) {
        values.AppDir = appDir;
        values.LibDir = libDir;
        if (zoma::ReadData(*bank, values, kBenchLevel).status != LoadResult::Status::Loaded)
            return QStringLiteral("the library did not load");
        ExamEnvironment env = ExamEnvironment::system();
        env.seed = [this] { return seeds++; };
        memory = std::make_unique<ReviewMemory>(values.folder().appFile(ReviewLog::FileName));
        window = std::make_unique<ExamWindow>(*bank, values, *memory, dialogs, kBenchLevel, env);
        if (!showExposed(*window)) return QStringLiteral("the exam window did not show");
        return dialogs.unexpected;
    }
    QPushButton* button(const char* name) {
        return window->findChild<QPushButton*>(QLatin1String(name));
    }
};

void start(benchmark::State& state, const BenchContext& context) {
    ExamBench bench;
    // The program folder of the practice library: nothing of the exam is kept there.
    const QString error = bench.open(context.inputs.practiceAppDir, context.inputs.libDir);
    QPushButton* startButton = bench.button("startButton");
    if (!error.isEmpty() || !startButton) {
        state.SkipWithError(
            qPrintable(error.isEmpty() ? QStringLiteral("no start button") : error));
        return;
    }
    timePresses(
        state, *bench.window, [startButton] { startButton->click(); }, bench.dialogs.unexpected);
}

void answerAndNext(benchmark::State& state, const BenchContext& context) {
    ExamBench bench;
    const QString error = bench.open(context.inputs.practiceAppDir, context.inputs.practiceLibDir);
    QPushButton* startButton = bench.button("startButton");
    QPushButton* letter = bench.button("letterA");
    QPushButton* next = bench.button("nextButton");
    QPushButton* previous = bench.button("previousButton");
    if (!error.isEmpty() || !startButton || !letter || !next || !previous) {
        state.SkipWithError(qPrintable(error.isEmpty() ? QStringLiteral("no buttons") : error));
        return;
    }
    startButton->click();
    // Back and forth through the paper, every question with its picture.
    bool forward = true;
    const auto press = [&] {
        QPushButton* move = forward ? next : previous;
        if (!move->isEnabled()) {
            forward = !forward;
            move = forward ? next : previous;
        }
        letter->click();
        move->click();
    };
    timePresses(state, *bench.window, press, bench.dialogs.unexpected);
}

}  // namespace

void registerExamBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::ExamStart, start, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
    benchmark::RegisterBenchmark(BenchName::ExamAnswer, answerAndNext, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
}
