// SPDX-License-Identifier: GPL-3.0-or-later
// The exam window as the user meets it: a press of 开始考试 (the draw, the
// first question shown and painted) on the C类 paper of 2001 questions, and
// an answer plus a move to the next question, each of which has a picture of
// about 100 KB.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "exam/exam_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

// Any message box is a failure here.
class SilentDialogs final : public Dialogs {
public:
    Answer message(const QString& text, Buttons, const QString&) override {
        unexpected = text;
        return Answer::No;
    }
    QString openFile(const QString&, const QString&, FileMode) override { return {}; }

    QString unexpected;
};

bool waitExposed(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QCoreApplication::processEvents();
    return true;
}

// The window over a library read as the read-data button reads it; the
// program folder is a fresh one so that no notebook or settings interfere.
struct ExamBench {
    SharedValues values;
    std::unique_ptr<QuestionBank> bank = std::make_unique<QuestionBank>();
    SilentDialogs dialogs;
    std::unique_ptr<ExamWindow> window;
    quint32 seeds = 1;

    QString open(const QString& appDir, const QString& libDir) {
        values.AppDir = appDir;
        values.LibDir = libDir;
        if (zoma::ReadData(*bank, values, kBenchLevel).status != LoadResult::Status::Loaded)
            return QStringLiteral("the library did not load");
        ExamEnvironment env = ExamEnvironment::system();
        env.seed = [this] { return seeds++; };
        window = std::make_unique<ExamWindow>(*bank, values, dialogs, kBenchLevel, env);
        window->show();
        if (!waitExposed(*window)) return QStringLiteral("the exam window did not show");
        return dialogs.unexpected;
    }
    QPushButton* button(const char* name) {
        return window->findChild<QPushButton*>(QLatin1String(name));
    }
};

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

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
    std::vector<double> presses;
    for (auto _ : state) {
        const Clock::time_point t = Clock::now();
        startButton->click();
        bench.window->repaint();
        presses.push_back(msSince(t));
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!bench.dialogs.unexpected.isEmpty()) {
        state.SkipWithError(qPrintable(bench.dialogs.unexpected));
        return;
    }
    state.counters[kMedianMs] = medianOf(presses);
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
    std::vector<double> presses;
    bool forward = true;
    for (auto _ : state) {
        // Back and forth through the paper, every question with its picture.
        QPushButton* move = forward ? next : previous;
        if (!move->isEnabled()) {
            forward = !forward;
            move = forward ? next : previous;
        }
        const Clock::time_point t = Clock::now();
        letter->click();
        move->click();
        bench.window->repaint();
        presses.push_back(msSince(t));
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!bench.dialogs.unexpected.isEmpty()) {
        state.SkipWithError(qPrintable(bench.dialogs.unexpected));
        return;
    }
    state.counters[kMedianMs] = medianOf(presses);
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
