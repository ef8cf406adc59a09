// Reading the bank and writing the export, each against the least work that
// could produce the same result: the file bytes decoded from GBK, and the
// exported text encoded to GBK and written.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "export/output.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void readData(benchmark::State& state, const BenchContext& context) {
    SharedValues values;
    values.LibDir = context.inputs.libDir;
    auto bank = std::make_unique<QuestionBank>();
    for (auto _ : state) {
        const LoadResult result = ReadData(*bank, values, kBenchLevel);
        if (result.status != LoadResult::Status::Loaded ||
            result.count != context.inputs.paperIds) {
            state.SkipWithError("ReadData did not load the whole paper");
            break;
        }
        benchmark::DoNotOptimize(bank->PaperCount);
    }
}

void readBaseline(benchmark::State& state, const BenchContext& context) {
    for (auto _ : state) {
        for (const QString& path : {context.inputs.bankFile, context.inputs.paperFile}) {
            QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
            const QString text = gbk.decode(readAll(path));
            benchmark::DoNotOptimize(text.constData());
        }
    }
}

struct ExportCase {
    SharedValues values;
    std::unique_ptr<QuestionBank> bank = std::make_unique<QuestionBank>();
    QString target;
    QString text;  // what output writes, decoded
};

std::shared_ptr<ExportCase> exportCase(const BenchContext& context, ExportLayout layout) {
    auto c = std::make_shared<ExportCase>();
    c->values.LibDir = context.inputs.libDir;
    c->values.PracticeLevel = kBenchLevel;
    (void)ReadData(*c->bank, c->values, kBenchLevel);
    const QString folder = context.inputs.root + QStringLiteral("/export");
    QDir().mkpath(folder);
    c->target = folder + (layout == ExportLayout::LineSeparated ? QStringLiteral("/lines.TXT")
                                                                : QStringLiteral("/commas.TXT"));
    QFile::remove(c->target);
    if (output(*c->bank, c->values, c->target, layout, false).written()) {
        QStringDecoder gbk("GBK");
        c->text = gbk.decode(readAll(c->target));
    }
    return c;
}

void writeExport(benchmark::State& state, std::shared_ptr<ExportCase> c, ExportLayout layout) {
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(c->target);
        state.ResumeTiming();
        if (!output(*c->bank, c->values, c->target, layout, false).written()) {
            state.SkipWithError("output wrote nothing");
            break;
        }
    }
}

void writeBaseline(benchmark::State& state, std::shared_ptr<ExportCase> c) {
    if (c->text.isEmpty()) state.SkipWithError("no exported text to compare with");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(c->target);
        state.ResumeTiming();
        QStringEncoder gbk("GBK", QStringEncoder::Flag::Stateless);
        const QByteArray bytes = gbk.encode(c->text);
        QFile file(c->target);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the file");
            break;
        }
        file.close();
    }
}

}  // namespace

void registerStoreBenchmarks(const BenchContext& context) {
    const auto in = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.3);
    };
    in(benchmark::RegisterBenchmark(BenchName::ReadData, readData, context));
    in(benchmark::RegisterBenchmark(BenchName::ReadBaseline, readBaseline, context));
    for (const ExportLayout layout : {ExportLayout::LineSeparated, ExportLayout::CommaSeparated}) {
        const auto c = exportCase(context, layout);
        const bool lines = layout == ExportLayout::LineSeparated;
        in(benchmark::RegisterBenchmark(lines ? BenchName::OutputLines : BenchName::OutputCommas,
                                        writeExport, c, layout));
        in(benchmark::RegisterBenchmark(lines ? BenchName::WriteLines : BenchName::WriteCommas,
                                        writeBaseline, c));
    }
}
