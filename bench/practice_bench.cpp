// SPDX-License-Identifier: GPL-3.0-or-later
// One press of Next in the practice window, as the user sees it: the handler
// (question, answers, a picture of about 100 KB, the resume record written)
// and the window painted again.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "practice/form2.h"
#include "practice/random_order.h"

#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Answers No to the resume question; any other message is a failure.
class BenchDialogs final : public Dialogs {
public:
    Answer message(const QString& text, Buttons buttons, const QString&) override {
        if (buttons == Buttons::Ok) unexpected = text;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QString openFile(const QString&, const QString&, FileMode) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }

    QString unexpected;
};

void next(benchmark::State& state, const BenchContext& context) {
    SharedValues values;
    values.AppDir = context.inputs.practiceAppDir;
    values.LibDir = context.inputs.practiceLibDir;
    values.PracticeLevel = kBenchLevel;
    auto bank = std::make_unique<QuestionBank>();
    if (zoma::ReadData(*bank, values, kBenchLevel).status != LoadResult::Status::Loaded) {
        state.SkipWithError("the practice library did not load");
        return;
    }
    BenchDialogs dialogs;
    RandomOrder random;
    Form2 form(*bank, values, dialogs, random);
    auto* nextButton = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (!nextButton || !showExposed(form)) {
        state.SkipWithError("the practice window did not show");
        return;
    }
    timePresses(
        state, form, [nextButton] { nextButton->click(); }, dialogs.unexpected);
}

}  // namespace

void registerPracticeBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::PracticeNext, next, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
}
