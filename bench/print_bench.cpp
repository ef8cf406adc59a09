// SPDX-License-Identifier: GPL-3.0-or-later
// 打印试卷 as the exam window runs it, without the dialogs: a C类 paper of 90
// questions, 20 of them with a JPEG picture of 100 to 160 KB, read through
// the picture loader, laid out and written as PDF into a part file renamed
// over the last one.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "common/part_file.h"
#include "exam/exam_paper.h"
#include "exam/paper_pdf.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr int kQuestions = 90;
constexpr int kPictured = 20;

// The first 20 questions of the paper with a picture and the first 70 without.
QString benchPaper(const BenchContext& context, PrintPaper* paper) {
    SharedValues values;
    values.AppDir = context.inputs.programDir + u'/';
    values.LibDir = context.inputs.libDir;
    QuestionBank bank;
    if (zoma::ReadData(bank, values, kBenchLevel).status != LoadResult::Status::Loaded)
        return QStringLiteral("the library did not load");
    const ExamPaper all = zoma::examPaper(bank, values);
    int pictured = 0;
    int plain = 0;
    for (const ExamQuestion& q : all.questions) {
        int& kind = q.picture.isEmpty() ? plain : pictured;
        if (kind >= (q.picture.isEmpty() ? kQuestions - kPictured : kPictured)) continue;
        ++kind;
        paper->questions.append({q, {0, 1, 2, 3}, q.correct});
    }
    if (pictured < kPictured || paper->questions.size() < kQuestions)
        return QStringLiteral("the paper has too few questions with pictures");
    paper->title = kBenchLevel + QStringLiteral("模拟试卷");
    paper->edition = all.edition;
    paper->rule = zoma::printedRule({kQuestions, 0, 90, 60});
    paper->date = QDate(2026, 12, 7);
    paper->number = QStringLiteral("20261207-1");
    return {};
}

void printPaper(benchmark::State& state, const BenchContext& context) {
    PrintPaper paper;
    QString error = benchPaper(context, &paper);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("C类模拟试卷-20261207-1.pdf"));
    std::vector<double> runs;
    for (auto _ : state) {
        if (!error.isEmpty()) break;
        const auto start = std::chrono::steady_clock::now();
        PaperPdf pdf;
        pdf.loadPictures({paper});
        PartFile part(target, PartFile::Links::WriteThrough);
        if (!part.open(QIODevice::Unbuffered, &error) ||
            !pdf.write({paper}, part.file(), {}, &error) || !part.commit(&error))
            break;
        if (!pdf.pictureProblems().isEmpty()) error = pdf.pictureProblems().join(u' ');
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    std::sort(runs.begin(), runs.end());
    state.counters[kMedianMs] = runs[runs.size() / 2];
}

}  // namespace

void registerPrintBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::PrintPaper, printPaper, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(5);
}
