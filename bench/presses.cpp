// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/bench_suite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <vector>

bool showExposed(QWidget& window) {
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QCoreApplication::processEvents();
    return true;
}

void timePresses(benchmark::State& state, QWidget& window, const std::function<void()>& press,
                 const QString& unexpected) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> presses;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        press();
        window.repaint();
        presses.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!unexpected.isEmpty()) {
        state.SkipWithError(qPrintable(unexpected));
        return;
    }
    if (presses.empty()) return;
    std::sort(presses.begin(), presses.end());
    state.counters[kMedianMs] = presses[presses.size() / 2];
}

void timeMedian(benchmark::State& state, const std::function<void()>& work) {
    std::vector<double> runs;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(runs.begin(), runs.end());
    if (!runs.empty()) state.counters[kMedianMs] = runs[runs.size() / 2];
}
