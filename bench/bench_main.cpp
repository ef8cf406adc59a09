// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark suite: makes its inputs, runs every benchmark (repetitions
// interleaved when asked, so that a busy machine hurts both sides of a pair
// alike), then prints each figure against its limit. Exits 1 when a figure
// misses its limit or could not be measured.

#include "bench/bench_suite.h"
#include "common/program_folder.h"

#include "ui/fonts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

// Keeps the counters of each benchmark's median over its repetitions (or of
// its single run) while the console shows the usual report.
class FigureCollector final : public benchmark::ConsoleReporter {
public:
    struct Figure {
        std::map<std::string, double> counters;
        std::string error;

        // The counter, or a negative number when it is missing.
        double get(const char* name) const {
            const auto it = counters.find(name);
            return it == counters.end() ? -1 : it->second;
        }
    };

    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            const std::string name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred) {
                m_figures[name].error = run.error_message;
                continue;
            }
            if (!median && !(run.run_type == Run::RT_Iteration && !m_medians.contains(name)))
                continue;
            if (median) m_medians[name] = true;
            for (const auto& [counter, value] : run.counters)
                m_figures[name].counters[counter] = value;
        }
        ConsoleReporter::ReportRuns(reports);
    }

    const Figure* find(const std::string& name) const {
        const auto it = m_figures.find(name);
        return it == m_figures.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Figure> m_figures;
    std::map<std::string, bool> m_medians;
};

struct Ratio {
    const char* work;
    const char* pair;
    double limit;           // 0: shown for information, without a limit
    bool optional = false;  // its inputs may be missing on this machine
};

struct Absolute {
    const char* work;
    const char* benchmark;
    const char* counter;
    const char* unit;
    double limit;
};

// Prints the table; false when a figure is missing or over its limit.
bool printFigures(const FigureCollector& figures, const BenchContext& context) {
    const BenchInputs& in = context.inputs;
    std::printf(
        "\nInputs: bank %d records, %.0f KB GBK; paper %d identifiers; package %.1f MB "
        "(60 JPEG pictures); practice pictures %.0f KB\n",
        in.bankRecords, double(in.bankBytes) / 1024, in.paperIds,
        double(in.packageBytes) / (1024 * 1024), double(in.practicePictureBytes) / 1024);
    std::printf(
        "Medians over the repetitions; the ratio is the median of ours/baseline per pair.\n");
    std::printf("\n%-52s %12s %12s %8s %8s\n", "work", "ours", "baseline", "ratio", "limit");

    const Ratio ratios[] = {
        {"ReadData, bank and C类 paper", BenchName::ReadData, 1.5},
        {"ReadData, 2025 C类 level file, tagged text", BenchName::ReadTagged2025, 1.5},
        {"ReadData, 2025 C类 level file, CSV", BenchName::ReadCsv2025, 1.5},
        {"output, LineSeparated", BenchName::OutputLines, 1.5},
        {"output, CommaSeparated", BenchName::OutputCommas, 1.5},
        {"import of the package (whole process)", BenchName::Import, 1.1},
        {"import of the published PDF files (whole process)", BenchName::PdfImport, 1.5, true},
        {"start until shown, against one Chinese label", BenchName::Start, 1.2},
    };
    bool allMet = true;
    for (const Ratio& r : ratios) {
        const auto* figure = figures.find(r.pair);
        if (!figure || !figure->error.empty() || figure->get(kRatio) <= 0) {
            const bool absent = r.optional && figure && figure->error == kNoPdfFiles;
            std::printf("%-52s %s  %s\n", r.work, figure ? figure->error.c_str() : "not run",
                        absent ? "skipped" : "NOT MEASURED");
            allMet = allMet && absent;
            continue;
        }
        const double ratio = figure->get(kRatio);
        const double ours = figure->get(kOursMs);
        const double base = figure->get(kBaseMs);
        if (r.limit == 0) {
            std::printf("%-52s %9.2f ms %9.2f ms %7.2fx %7s  info\n", r.work, ours, base, ratio,
                        "");
            continue;
        }
        const bool met = ratio <= r.limit;
        allMet = allMet && met;
        std::printf("%-52s %9.2f ms %9.2f ms %7.2fx %6.2fx  %s\n", r.work, ours, base, ratio,
                    r.limit, met ? "ok" : "OVER");
    }

    const Absolute absolutes[] = {
        {"Next in the practice window (median press)", BenchName::PracticeNext, kMedianMs, "ms", 5},
        {"start of an exam, C类 (median press)", BenchName::ExamStart, kMedianMs, "ms", 20},
        {"answer and next question in an exam (median)", BenchName::ExamAnswer, kMedianMs, "ms", 5},
        {"C类 paper of 90 (20 pictures) written as PDF", BenchName::PrintPaper, kMedianMs, "ms",
         1500},
        {"answer, rate and next in the daily review (median)", BenchName::StudyAnswer, kMedianMs,
         "ms", 5},
        {"peak resident memory, C类 read, practice open", BenchName::PeakMemory, kPeakMiB, "MiB",
         60},
        {"replay of 100,000 answers, 3108 questions", BenchName::StudyReplay, kMedianMs, "ms", 150},
        {"today's queue, C类", BenchName::StudyQueue, kMedianMs, "ms", 20},
        {"chance of passing, C类 (exact)", BenchName::StudyChance, kMedianMs, "ms", 100},
        {"chance of passing, 2000 of 2001 drawn", BenchName::StudyChanceWhole, kMedianMs, "ms", 50},
        {"chance of passing, 1000 of 2001 drawn", BenchName::StudyChanceHalf, kMedianMs, "ms", 50},
        {"read and replay a log of 1,000,000 lines", BenchName::StudyBigLog, kMedianMs, "ms", 2000},
        {"open 学习中心 over a log of 1,000,000 lines", BenchName::StudyOpenBigLog, kMedianMs, "ms",
         3000},
        {"filter, three 2025 levels, 3108 questions", BenchName::StudyFilter, kMedianMs, "ms", 16},
        {"keystroke in 题库浏览, C类, table repainted", BenchName::StudyKeystroke, kMedianMs, "ms",
         16},
        {"show 题库浏览, C类, until painted", BenchName::StudyBrowserShow, kMedianMs, "ms", 150},
        {"paint the progress map, 1282 questions", BenchName::StudyMapPaint, kMedianMs, "ms", 16},
    };
    for (const Absolute& a : absolutes) {
        const auto* figure = figures.find(a.benchmark);
        if (!figure || !figure->error.empty() || figure->get(a.counter) <= 0) {
            std::printf("%-52s %s  NOT MEASURED\n", a.work,
                        figure ? figure->error.c_str() : "not run");
            allMet = false;
            continue;
        }
        const double value = figure->get(a.counter);
        const bool met = value < a.limit;
        allMet = allMet && met;
        std::printf("%-52s %9.2f %-3s %29s < %.0f %s  %s\n", a.work, value, a.unit, "", a.limit,
                    a.unit, met ? "ok" : "OVER");
    }
    return allMet;
}

QString besideThis(const char* name) {
    return ProgramFolder(QCoreApplication::applicationDirPath()).appFile(QLatin1String(name));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zoma::installFontFallbacks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder: %s\n",
                     qPrintable(folder.errorString()));
        return 2;
    }
    // Removed below by byte names: unzip leaves GBK names Qt cannot delete.
    folder.setAutoRemove(false);
    BenchContext context;
    try {
        std::fprintf(stderr, "Making the inputs in %s ...\n", qPrintable(folder.path()));
        context.inputs = makeBenchInputs(folder.path());
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "cannot make the inputs: %s\n", e.what());
        return 2;
    }
    // The program runs from a folder of its own, beside the unpacked package.
    context.program = context.inputs.programDir + QStringLiteral("/zoma_review");
    if (!QFile::copy(besideThis("zoma_review"), context.program)) {
        std::fprintf(stderr, "cannot copy zoma_review beside the package\n");
        return 2;
    }
    QFile::setPermissions(context.program, QFile::permissions(context.program) |
                                               QFileDevice::ExeOwner | QFileDevice::ExeUser);
    context.minimalWindow = besideThis("minimal_window");
    context.engineTool = besideThis("zoma_unzip");
    context.pdfTool = besideThis("zoma_pdf_import");
    context.pluginPath = QStringLiteral(ZOMA_BENCH_PLUGIN_PATH);

    registerStoreBenchmarks(context);
    registerProcessBenchmarks(context);
    registerPracticeBenchmarks(context);
    registerExamBenchmarks(context);
    registerPrintBenchmarks(context);
    registerStudyBenchmarks(context);
    registerStudyWindowBenchmarks(context);
    registerStudyPageBenchmarks(context);

    FigureCollector figures;
    benchmark::RunSpecifiedBenchmarks(&figures);
    const bool met = printFigures(figures, context);
    benchmark::Shutdown();
    // ZOMA_BENCH_KEEP=1 leaves the inputs behind for a look afterwards.
    if (!qEnvironmentVariableIsSet("ZOMA_BENCH_KEEP")) {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(folder.path()).toStdString(), ignored);
    }
    return met ? 0 : 1;
}
