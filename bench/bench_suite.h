// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bench/bench_inputs.h"
#include "ui/dialogs.h"

#include <QString>

class QWidget;

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <utility>

// What the benchmarks share: the inputs and where the programs they start live.
struct BenchContext {
    BenchInputs inputs;
    QString program;        // the review tool, copied into inputs.programDir
    QString minimalWindow;  // the yardstick for its start
    QString engineTool;     // zoma_unzip
    QString pdfTool;        // zoma_pdf_import
    QString pluginPath;     // holds generic/ with the show probe
};

// One side of a comparison: does the work once and says how long that took.
struct Timed {
    double seconds = 0;
    QString error;  // why the work failed; empty when it succeeded
};
using Side = std::function<Timed()>;

// Times work, a callable that returns an error text (empty on success).
template <typename Work>
Timed timed(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    QString error = work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            std::move(error)};
}

// Registers a comparison. Each iteration runs both sides once, taking turns at
// going first, so that both meet the machine in the same state; a neighbour's
// build slows a pair, not one side. Reports each side's median and the median
// of the per-pair ratios as counters.
benchmark::internal::Benchmark* registerPair(const char* name, Side ours, Side baseline);

// Shows a window and waits until the platform has exposed and painted it;
// false when that takes more than five seconds.
bool showExposed(QWidget& window);

// Times press() and a repaint of window at every iteration, the events it
// left handled untimed; the median press goes to the counter kMedianMs. A
// text in unexpected afterwards (a message nobody asked for) fails the run.
void timePresses(benchmark::State& state, QWidget& window, const std::function<void()>& press,
                 const QString& unexpected);

// Times work() at every iteration; the median goes to the counter kMedianMs.
void timeMedian(benchmark::State& state, const std::function<void()>& work);

// The dialogs of a window under a benchmark, where any message box is a
// failure: its text is kept for the run to report, and a question gets No.
class SilentDialogs final : public Dialogs {
public:
    Answer message(const QString& text, Buttons, const QString&) override {
        unexpected = text;
        return Answer::No;
    }
    QString openFile(const QString&, const QString&, FileMode) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }

    QString unexpected;
};

// Names of the figures, as the table at the end finds them.
namespace BenchName {
inline constexpr char ReadData[] = "load/ReadData vs read+decode GBK";
inline constexpr char ReadTagged2025[] = "load/ReadData 2025 tagged text vs read+decode UTF-8";
inline constexpr char ReadCsv2025[] = "load/ReadData 2025 CSV vs read+decode UTF-8";
inline constexpr char OutputLines[] = "export/output LineSeparated vs encode+write";
inline constexpr char OutputCommas[] = "export/output CommaSeparated vs encode+write";
inline constexpr char Import[] = "import/zoma_unzip vs unzip -o -j -qq";
inline constexpr char PdfImport[] = "import/zoma_pdf_import vs pdftotext + pdfimages -j";
inline constexpr char Start[] = "start/zoma_review vs window with one Chinese label";
inline constexpr char PracticeNext[] = "practice/Next";
inline constexpr char ExamStart[] = "exam/start";
inline constexpr char ExamAnswer[] = "exam/answer and next";
inline constexpr char PrintPaper[] = "print/C类 paper of 90, 20 pictures";
inline constexpr char StudyAnswer[] = "study/answer, rate and next";
inline constexpr char PeakMemory[] = "memory/C类 read, practice open";
inline constexpr char StudyReplay[] = "study/replay 100000 answers";
inline constexpr char StudyQueue[] = "study/daily queue C类";
inline constexpr char StudyChance[] = "study/chance of passing C类";
inline constexpr char StudyChanceWhole[] = "study/chance of passing 2000 of 2001 drawn";
inline constexpr char StudyChanceHalf[] = "study/chance of passing 1000 of 2001 drawn";
inline constexpr char StudyBigLog[] = "study/read and replay 1000000 lines";
inline constexpr char StudyOpenBigLog[] = "study/open 学习中心 over 1000000 log lines";
inline constexpr char StudyFilter[] = "study/filter 3108 questions a keystroke";
inline constexpr char StudyKeystroke[] = "study/keystroke in 题库浏览 C类";
inline constexpr char StudyBrowserShow[] = "study/show 题库浏览 C类";
inline constexpr char StudyMapPaint[] = "study/paint progress map 1282";
}  // namespace BenchName

inline constexpr char kOursMs[] = "ours_ms";
inline constexpr char kNoPdfFiles[] = "the published PDF files are not here";
inline constexpr char kBaseMs[] = "base_ms";
inline constexpr char kRatio[] = "ratio";
inline constexpr char kMedianMs[] = "median_ms";
inline constexpr char kPeakMiB[] = "peak_MiB";

void registerStoreBenchmarks(const BenchContext& context);        // ReadData, output
void registerProcessBenchmarks(const BenchContext& context);      // import, start, memory
void registerPracticeBenchmarks(const BenchContext& context);     // Next
void registerExamBenchmarks(const BenchContext& context);         // start, answer and next
void registerPrintBenchmarks(const BenchContext& context);        // a paper as PDF
void registerStudyBenchmarks(const BenchContext& context);        // replay, queue, chance
void registerStudyWindowBenchmarks(const BenchContext& context);  // answer, rate and next
void registerStudyPageBenchmarks(const BenchContext& context);    // filter, browser, map
