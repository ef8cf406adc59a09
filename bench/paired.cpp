// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/bench_suite.h"

#include <algorithm>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void runPair(benchmark::State& state, const Side& ours, const Side& baseline) {
    std::vector<double> oursSeconds;
    std::vector<double> baseSeconds;
    std::vector<double> ratios;
    bool oursFirst = true;
    for (auto _ : state) {
        Timed a;
        Timed b;
        if (oursFirst) {
            a = ours();
            b = baseline();
        } else {
            b = baseline();
            a = ours();
        }
        oursFirst = !oursFirst;
        if (!a.error.isEmpty() || !b.error.isEmpty()) {
            state.SkipWithError(qPrintable(a.error.isEmpty() ? b.error : a.error));
            return;
        }
        state.SetIterationTime(a.seconds + b.seconds);
        oursSeconds.push_back(a.seconds);
        baseSeconds.push_back(b.seconds);
        ratios.push_back(a.seconds / b.seconds);
    }
    if (ratios.empty()) return;
    state.counters[kOursMs] = median(oursSeconds) * 1e3;
    state.counters[kBaseMs] = median(baseSeconds) * 1e3;
    state.counters[kRatio] = median(ratios);
}

}  // namespace

benchmark::internal::Benchmark* registerPair(const char* name, Side ours, Side baseline) {
    return benchmark::RegisterBenchmark(
               name, [ours, baseline](benchmark::State& state) { runPair(state, ours, baseline); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
}
