// SPDX-License-Identifier: GPL-3.0-or-later
// The study pages as the user meets them: a keystroke in the bank browser's
// search over the three levels of the 2025 edition (3108 questions), the
// page 题库浏览 shown for C类, and the progress map of C类 painted. The real
// 2025 bank is read from the fixtures beside the project when it is there;
// otherwise the made-up C类 level stands in for each level.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "memory/favourites.h"
#include "study/bank_browser_page.h"
#include "study/bank_rows.h"
#include "study/progress_map.h"
#include "study/question_filter.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

const QString kLevels[] = {QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")};
const char* const kCsvNames[] = {"class_a.csv", "class_b.csv", "class_c.csv"};
const char kFixture[] = ZOMA_BENCH_FIXTURES "/bank-2025-csv.zip";
const char kFixtureFolder[] = "crac-amateur-radio-exam-questions-2025-csv-main/";

// What a user types, one keystroke a step: growing words, full-width forms,
// a second word, an identifier.
const QStringList kKeystrokes = {
    QStringLiteral("天"),      QStringLiteral("天线"),      QStringLiteral("天线 "),
    QStringLiteral("天线 增"), QStringLiteral("天线 增益"), QStringLiteral("ｓ"),
    QStringLiteral("ｓｗ"),    QStringLiteral("ｓｗｒ"),    QStringLiteral("m"),
    QStringLiteral("mc"),      QStringLiteral("mc2-"),      QStringLiteral("mc2-01"),
    QStringLiteral("1"),       QStringLiteral("10"),        QStringLiteral("100"),
    QStringLiteral("dbm"),
};

// A level file out of the fixture's zip, or empty bytes.
QByteArray fixtureFile(const char* name) {
    int error = 0;
    zip_t* zip = zip_open(kFixture, ZIP_RDONLY, &error);
    if (!zip) return {};
    QByteArray bytes;
    const QByteArray entry = QByteArray(kFixtureFolder) + name;
    zip_stat_t stat;
    if (zip_stat(zip, entry.constData(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        if (zip_file_t* file = zip_fopen(zip, entry.constData(), 0)) {
            bytes.resize(qsizetype(stat.size));
            if (zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size)) bytes.clear();
            zip_fclose(file);
        }
    }
    zip_close(zip);
    return bytes;
}

// The three levels read into three stores, each in a library of its own.
struct Levels {
    QTemporaryDir dir;
    SharedValues values[3];
    std::unique_ptr<QuestionBank> banks[3];
    bool real = true;
    QString error;
};

const Levels& levels(const BenchContext& context) {
    static Levels made;
    static bool done = false;
    if (done) return made;
    done = true;
    for (int i = 0; i < 3; ++i) {
        SharedValues& v = made.values[i];
        v.AppDir = made.dir.filePath(QStringLiteral("app%1/").arg(i));
        v.LibDir = v.AppDir + QStringLiteral("lib");
        QDir().mkpath(v.LibDir);
        v.PracticeLevel = kLevels[i];
        QByteArray csv = fixtureFile(kCsvNames[i]);
        if (csv.isEmpty()) {
            made.real = false;
            QFile in(context.inputs.csvFile);
            if (in.open(QIODevice::ReadOnly)) csv = in.readAll();
        }
        QFile out(v.LibDir + u'/' + QLatin1String(kCsvNames[i]));
        if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size()) {
            made.error = QStringLiteral("cannot write a level file");
            return made;
        }
        out.close();
        made.banks[i] = std::make_unique<QuestionBank>();
        if (zoma::ReadData(*made.banks[i], v, kLevels[i]).status != LoadResult::Status::Loaded) {
            made.error = QStringLiteral("a 2025 level did not load");
            return made;
        }
    }
    return made;
}

// The filter over every question of the three levels: the query folded and
// split, then each row's folded text searched, as a keystroke does.
void filter(benchmark::State& state, const BenchContext& context) {
    const Levels& in = levels(context);
    if (!in.error.isEmpty()) {
        state.SkipWithError(qPrintable(in.error));
        return;
    }
    std::vector<BankRows> rows;
    std::vector<const QuestionBank*> banks;
    qsizetype total = 0;
    for (int i = 0; i < 3; ++i) {
        rows.push_back(zoma::bankRows(*in.banks[i]));
        banks.push_back(in.banks[i].get());
        total += rows.back().rows.size();
    }
    state.counters["questions"] = double(total);
    qsizetype step = 0;
    timeMedian(state, [&] {
        QuestionFilter f;
        f.setQuery(kKeystrokes[step++ % kKeystrokes.size()]);
        int shown = 0;
        for (size_t level = 0; level < rows.size(); ++level) {
            for (const BankRow& row : rows[level].rows) {
                shown += f.accepts(row.haystack, banks[level]->Category.view(row.number), false);
            }
        }
        benchmark::DoNotOptimize(shown);
    });
}

// A keystroke in the C类 page's search box: the proxy filtered and the
// table painted again.
void keystroke(benchmark::State& state, const BenchContext& context) {
    const Levels& in = levels(context);
    if (!in.error.isEmpty()) {
        state.SkipWithError(qPrintable(in.error));
        return;
    }
    SilentDialogs dialogs;
    Favourites favourites(in.values[2].AppDir + Favourites::FileName);
    BankBrowserPage page(*in.banks[2], in.values[2], dialogs, favourites, {});
    page.resize(1100, 750);
    auto* search = page.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    if (!search || !showExposed(page)) {
        state.SkipWithError("the page did not show");
        return;
    }
    qsizetype step = 0;
    timePresses(
        state, page, [&] { search->setText(kKeystrokes[step++ % kKeystrokes.size()]); },
        dialogs.unexpected);
}

// The page made over the C类 store and shown until painted.
void show(benchmark::State& state, const BenchContext& context) {
    const Levels& in = levels(context);
    if (!in.error.isEmpty()) {
        state.SkipWithError(qPrintable(in.error));
        return;
    }
    SilentDialogs dialogs;
    Favourites favourites(in.values[2].AppDir + Favourites::FileName);
    timeMedian(state, [&] {
        BankBrowserPage page(*in.banks[2], in.values[2], dialogs, favourites, {});
        page.resize(1100, 750);
        if (!showExposed(page)) state.SkipWithError("the page did not show");
        page.repaint();
        state.PauseTiming();
        page.hide();
        state.ResumeTiming();
    });
    if (!dialogs.unexpected.isEmpty()) state.SkipWithError(qPrintable(dialogs.unexpected));
}

// The map of 1282 questions in every standing, painted whole.
void paintMap(benchmark::State& state) {
    QList<MapCell> cells;
    for (int i = 0; i < 1282; ++i) {
        const StudyState s = StudyState(i % 4);
        cells.append({QStringLiteral("MC3-%1").arg(i + 1, 4, 10, QChar(u'0')),
                      QString(),
                      QString(),
                      {s, (i % 31) / 30.0}});
    }
    ProgressMap map;
    map.setCells(cells);
    map.resize(800, map.heightForWidth(800));
    if (!showExposed(map)) {
        state.SkipWithError("the map did not show");
        return;
    }
    timeMedian(state, [&] { map.repaint(); });
}

}  // namespace

void registerStudyPageBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::StudyFilter, filter, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
    benchmark::RegisterBenchmark(BenchName::StudyKeystroke, keystroke, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
    benchmark::RegisterBenchmark(BenchName::StudyBrowserShow, show, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
    benchmark::RegisterBenchmark(BenchName::StudyMapPaint, paintMap)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
}
