#pragma once

#include "bench/bench_inputs.h"

#include <QString>

// What the benchmarks share: the inputs and where the programs they start live.
struct BenchContext {
    BenchInputs inputs;
    QString program;        // the review tool, copied into inputs.programDir
    QString minimalWindow;  // the yardstick for its start
    QString engineTool;     // zoma_unzip
    QString pluginPath;     // holds generic/ with the show probe
};

// Names under which the figures are registered and then paired in the table.
namespace BenchName {
inline constexpr char ReadData[] = "load/ReadData";
inline constexpr char ReadBaseline[] = "load/read+decode GBK";
inline constexpr char OutputLines[] = "export/output LineSeparated";
inline constexpr char WriteLines[] = "export/encode+write LineSeparated";
inline constexpr char OutputCommas[] = "export/output CommaSeparated";
inline constexpr char WriteCommas[] = "export/encode+write CommaSeparated";
inline constexpr char ImportEngine[] = "import/zoma_unzip";
inline constexpr char ImportInfoZip[] = "import/unzip -o -j -qq";
inline constexpr char StartProgram[] = "start/zoma_review";
inline constexpr char StartMinimal[] = "start/minimal window";
inline constexpr char StartLabel[] = "start/minimal window, one Chinese label";
inline constexpr char PracticeNext[] = "practice/Next";
inline constexpr char PeakMemory[] = "memory/C类 read, practice open";
}  // namespace BenchName

// Counters that carry the figure where time is not the figure.
inline constexpr char kMedianMs[] = "median_ms";
inline constexpr char kPeakMiB[] = "peak_MiB";

void registerStoreBenchmarks(const BenchContext& context);     // ReadData, output
void registerProcessBenchmarks(const BenchContext& context);   // import, start, memory
void registerPracticeBenchmarks(const BenchContext& context);  // Next
