// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the bank and writing the export, each against the least work that
// could produce the same result: the file bytes decoded from GBK, and the
// exported text encoded to GBK and written.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "common/part_file.h"
#include "export/output.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <memory>

namespace {

// The export as the export window writes it: through a part file renamed
// over the target.
QString exportTo(const QuestionBank& bank, const SharedValues& values, const QString& target,
                 ExportLayout layout) {
    PartFile part(target, PartFile::Links::WriteThrough);
    QStringList unusableIds;
    QString error;
    if (part.open(QIODevice::Unbuffered, &error) &&
        zoma::output(bank, values, part.file(), layout, false, QDate::currentDate(), &unusableIds,
                     &error) &&
        part.commit(&error)) {
        return {};
    }
    return error.isEmpty() ? QStringLiteral("output wrote nothing") : error;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void registerReadData(const BenchContext& context) {
    auto values = std::make_shared<SharedValues>();
    values->LibDir = context.inputs.libDir;
    auto bank = std::make_shared<QuestionBank>();
    const int expected = context.inputs.paperIds;
    const Side ours = [values, bank, expected] {
        return timed([&] {
            const LoadResult result = zoma::ReadData(*bank, *values, kBenchLevel);
            return result.status == LoadResult::Status::Loaded && result.count == expected
                       ? QString()
                       : QStringLiteral("ReadData did not load the whole paper");
        });
    };
    const QStringList files = {context.inputs.bankFile, context.inputs.paperFile};
    const Side baseline = [files] {
        return timed([&] {
            for (const QString& path : files) {
                QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
                const QString text = gbk.decode(readAll(path));
                benchmark::DoNotOptimize(text.constData());
            }
            return QString();
        });
    };
    registerPair(BenchName::ReadData, ours, baseline)->MinTime(0.3);
}

// The 2025 edition's C类 level file, alone in its library folder, against
// reading its bytes and decoding them from UTF-8.
void registerReadLevel(const char* name, const QString& libDir, const QString& file, int records) {
    auto values = std::make_shared<SharedValues>();
    values->LibDir = libDir;
    auto bank = std::make_shared<QuestionBank>();
    const Side ours = [values, bank, records] {
        return timed([&] {
            const LoadResult result = zoma::ReadData(*bank, *values, kBenchLevel);
            return result.status == LoadResult::Status::Loaded && result.count == records
                       ? QString()
                       : QStringLiteral("ReadData did not load the level file: ") +
                             result.message(kBenchLevel);
        });
    };
    const Side baseline = [file] {
        return timed([&] {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = utf8.decode(readAll(file));
            benchmark::DoNotOptimize(text.constData());
            return QString();
        });
    };
    registerPair(name, ours, baseline)->MinTime(0.3);
}

// Both sides write a new file: the target is removed before each run, untimed.
void registerOutput(const BenchContext& context, ExportLayout layout) {
    auto values = std::make_shared<SharedValues>();
    values->LibDir = context.inputs.libDir;
    values->PracticeLevel = kBenchLevel;
    auto bank = std::make_shared<QuestionBank>();
    (void)zoma::ReadData(*bank, *values, kBenchLevel);

    const bool lines = layout == ExportLayout::LineSeparated;
    const QString folder = context.inputs.root + QStringLiteral("/export/");
    QDir().mkpath(folder);
    const QString target =
        folder + (lines ? QStringLiteral("lines.TXT") : QStringLiteral("commas.TXT"));
    const QString plain = folder + QStringLiteral("plain.TXT");

    // The yardstick writes exactly the text output writes.
    QFile::remove(target);
    QString text;
    if (exportTo(*bank, *values, target, layout).isEmpty()) {
        QStringDecoder gbk("GBK");
        text = gbk.decode(readAll(target));
    }

    const Side ours = [=] {
        QFile::remove(target);
        return timed([&] { return exportTo(*bank, *values, target, layout); });
    };
    const Side baseline = [=] {
        QFile::remove(plain);
        return timed([&] {
            if (text.isEmpty()) return QStringLiteral("no exported text to compare with");
            QStringEncoder gbk("GBK", QStringEncoder::Flag::Stateless);
            const QByteArray bytes = gbk.encode(text);
            QFile file(plain);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return file.errorString();
            file.close();
            return QString();
        });
    };
    registerPair(lines ? BenchName::OutputLines : BenchName::OutputCommas, ours, baseline)
        ->MinTime(0.3);
}

}  // namespace

void registerStoreBenchmarks(const BenchContext& context) {
    registerReadData(context);
    registerReadLevel(BenchName::ReadTagged2025, context.inputs.taggedLibDir,
                      context.inputs.taggedFile, context.inputs.levelRecords);
    registerReadLevel(BenchName::ReadCsv2025, context.inputs.csvLibDir, context.inputs.csvFile,
                      context.inputs.levelRecords);
    registerOutput(context, ExportLayout::LineSeparated);
    registerOutput(context, ExportLayout::CommaSeparated);
}
