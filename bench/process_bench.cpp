// Whole programs, timed from their start until they have been reaped: the
// import through our engine against Info-ZIP's unzip, the start of the review
// tool against a minimal Qt window, and the memory the tool holds with a
// paper read and the practice window open.

#include "bench/bench_suite.h"
#include "bench/process_run.h"

#include <QFile>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr int kPackageFiles = 64;  // the bank, three paper lists, 60 pictures

// Byte names: unzip writes the GBK names of the package as they are, which Qt
// would not read back.
int filesIn(const QString& folder) {
    std::error_code ec;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(QFile::encodeName(folder).toStdString(), ec)) {
        if (entry.is_regular_file(ec)) ++count;
    }
    return ec ? -1 : count;
}

bool emptyFolder(const QString& folder) {
    const fs::path path = QFile::encodeName(folder).toStdString();
    std::error_code ec;
    fs::remove_all(path, ec);
    return !ec && fs::create_directory(path, ec);
}

// Each run extracts into a new empty folder; clearing it is not timed.
void extract(benchmark::State& state, QString program, QStringList arguments, QString folder) {
    if (program.isEmpty()) {
        state.SkipWithError("program not found");
        return;
    }
    for (auto _ : state) {
        const bool cleared = emptyFolder(folder);
        const ProcessRun run = runProcess(program, arguments);
        state.SetIterationTime(run.seconds);
        if (!cleared || !run.ok() || filesIn(folder) != kPackageFiles) {
            state.SkipWithError(qPrintable(
                run.problem.isEmpty() ? QStringLiteral("not every file extracted") : run.problem));
            break;
        }
    }
}

QStringList probeEnvironment(const BenchContext& context, const char* scenario) {
    return {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
            QStringLiteral("QT_PLUGIN_PATH=") + context.pluginPath,
            QStringLiteral("QT_QPA_GENERIC_PLUGINS=zoma_show_probe"),
            QStringLiteral("ZOMA_PROBE=") + QLatin1String(scenario)};
}

void start(benchmark::State& state, QString program, QStringList arguments,
           QStringList environment) {
    for (auto _ : state) {
        const ProcessRun run = runProcess(program, arguments, environment);
        state.SetIterationTime(run.seconds);
        if (!run.ok()) {
            state.SkipWithError(qPrintable(run.problem));
            break;
        }
    }
}

void peakMemory(benchmark::State& state, const BenchContext& context) {
    const QString record = context.inputs.programDir + QStringLiteral("/record.txt");
    const QString report = context.inputs.root + QStringLiteral("/peak.txt");
    QStringList environment = probeEnvironment(context, "practice");
    environment << QStringLiteral("ZOMA_PROBE_PEAK=") + report;
    qint64 peak = 0;
    for (auto _ : state) {
        // Without a record the window opens at the first question, unasked.
        QFile::remove(record);
        QFile::remove(report);
        const ProcessRun run = runProcess(context.program, {}, environment);
        state.SetIterationTime(run.seconds);
        QFile file(report);
        const qint64 kib =
            file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
        if (!run.ok() || kib <= 0) {
            state.SkipWithError(run.ok() ? "the program did not report its peak memory"
                                         : qPrintable(run.problem));
            break;
        }
        peak = std::max(peak, kib);
    }
    state.counters[kPeakMiB] = double(peak) / 1024.0;
}

}  // namespace

void registerProcessBenchmarks(const BenchContext& context) {
    const auto processes = [](benchmark::internal::Benchmark* b, int iterations) {
        b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(iterations);
    };

    const QString engineOut = context.inputs.root + QStringLiteral("/import-engine");
    const QString infoZipOut = context.inputs.root + QStringLiteral("/import-unzip");
    processes(
        benchmark::RegisterBenchmark(BenchName::ImportEngine, extract, context.engineTool,
                                     QStringList{context.inputs.package, engineOut}, engineOut),
        5);
    processes(benchmark::RegisterBenchmark(
                  BenchName::ImportInfoZip, extract, QStandardPaths::findExecutable("unzip"),
                  QStringList{QStringLiteral("-o"), QStringLiteral("-j"), QStringLiteral("-qq"),
                              context.inputs.package, QStringLiteral("-d"), infoZipOut},
                  infoZipOut),
              5);

    const QStringList shown = probeEnvironment(context, "shown");
    processes(benchmark::RegisterBenchmark(BenchName::StartProgram, start, context.program,
                                           QStringList{}, shown),
              3);
    processes(benchmark::RegisterBenchmark(BenchName::StartMinimal, start, context.minimalWindow,
                                           QStringList{}, shown),
              3);
    processes(benchmark::RegisterBenchmark(BenchName::StartLabel, start, context.minimalWindow,
                                           QStringList{QStringLiteral("--label")}, shown),
              3);

    processes(benchmark::RegisterBenchmark(BenchName::PeakMemory, peakMemory, context), 1);
}
