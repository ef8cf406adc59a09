// SPDX-License-Identifier: GPL-3.0-or-later
// Whole programs, timed from their start until they have been reaped: the
// import through our engine against Info-ZIP's unzip, the start of the review
// tool against a minimal Qt window, and the memory the tool holds with a
// paper read and the practice window open.

#include "bench/bench_suite.h"
#include "bench/process_run.h"

#include <QDir>
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

// One extraction into a new empty folder; clearing the folder is not timed.
Side extraction(const QString& program, const QStringList& arguments, const QString& folder) {
    return [=] {
        if (program.isEmpty()) return Timed{0, QStringLiteral("unzip not found")};
        if (!emptyFolder(folder)) return Timed{0, QStringLiteral("cannot empty ") + folder};
        const ProcessRun run = runProcess(program, arguments);
        if (!run.ok()) return Timed{run.seconds, run.problem};
        if (filesIn(folder) != kPackageFiles)
            return Timed{run.seconds, program + QStringLiteral(": not every file extracted")};
        return Timed{run.seconds, QString()};
    };
}

// The publisher's PDF files, as many of the five as are at hand.
QStringList publishedPdfs() {
    QStringList files;
    const QDir folder(QStringLiteral(ZOMA_BENCH_PDF_DIR));
    for (const QString& name :
         folder.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
        files << folder.filePath(name);
    }
    return files;
}

// Our import of the files into a new empty folder.
Side pdfImport(const QString& tool, const QStringList& files, const QString& folder) {
    return [=] {
        if (files.isEmpty()) return Timed{0, QString::fromLatin1(kNoPdfFiles)};
        if (!emptyFolder(folder)) return Timed{0, QStringLiteral("cannot empty ") + folder};
        const ProcessRun run = runProcess(tool, QStringList{folder} + files);
        return Timed{run.seconds, run.ok() ? QString() : tool + QStringLiteral(" failed")};
    };
}

// The same work done by Poppler's tools: the text of every file, and the
// JPEG images of the picture sheet as stored.
Side popplerTools(const QStringList& files, const QString& folder) {
    return [=] {
        if (files.isEmpty()) return Timed{0, QString::fromLatin1(kNoPdfFiles)};
        if (!emptyFolder(folder)) return Timed{0, QStringLiteral("cannot empty ") + folder};
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
        if (pdftotext.isEmpty() || pdfimages.isEmpty()) {
            return Timed{0, QStringLiteral("pdftotext or pdfimages not found")};
        }
        double seconds = 0;
        for (int i = 0; i < files.size(); ++i) {
            QList<ProcessRun> runs{
                runProcess(pdftotext, {files[i], folder + QStringLiteral("/%1.txt").arg(i)})};
            if (files[i].contains(QStringLiteral("附图"))) {
                runs << runProcess(pdfimages, {QStringLiteral("-j"), files[i],
                                               folder + QStringLiteral("/%1").arg(i)});
            }
            for (const ProcessRun& run : runs) {
                seconds += run.seconds;
                if (!run.ok()) return Timed{seconds, run.problem};
            }
        }
        return Timed{seconds, QString()};
    };
}

QStringList probeEnvironment(const BenchContext& context, const char* scenario) {
    return {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
            QStringLiteral("QT_PLUGIN_PATH=") + context.pluginPath,
            QStringLiteral("QT_QPA_GENERIC_PLUGINS=zoma_show_probe"),
            QStringLiteral("ZOMA_PROBE=") + QLatin1String(scenario)};
}

Side start(const QString& program, const QStringList& arguments, const QStringList& environment) {
    return [=] {
        const ProcessRun run = runProcess(program, arguments, environment);
        return Timed{run.seconds, run.ok() ? QString() : run.problem};
    };
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
    const QString engineOut = context.inputs.root + QStringLiteral("/import-engine");
    const QString infoZipOut = context.inputs.root + QStringLiteral("/import-unzip");
    registerPair(BenchName::Import,
                 extraction(context.engineTool, {context.inputs.package, engineOut}, engineOut),
                 extraction(QStandardPaths::findExecutable(QStringLiteral("unzip")),
                            {QStringLiteral("-o"), QStringLiteral("-j"), QStringLiteral("-qq"),
                             context.inputs.package, QStringLiteral("-d"), infoZipOut},
                            infoZipOut))
        ->Iterations(4);

    const QStringList pdfs = publishedPdfs();
    registerPair(
        BenchName::PdfImport,
        pdfImport(context.pdfTool, pdfs, context.inputs.root + QStringLiteral("/pdf-ours")),
        popplerTools(pdfs, context.inputs.root + QStringLiteral("/pdf-poppler")))
        ->Iterations(4);

    const QStringList shown = probeEnvironment(context, "shown");
    registerPair(BenchName::Start, start(context.program, {}, shown),
                 start(context.minimalWindow, {}, shown))
        ->Iterations(4);

    benchmark::RegisterBenchmark(BenchName::PeakMemory, peakMemory, context)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
}
