// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <random>

// The generator behind random order. One exists per run, made with a fixed
// seed, so the questions drawn repeat from one run to the next and continue
// where they left off when the practice window is opened again.
class RandomOrder final {
public:
    static constexpr quint32 DefaultSeed = 20131204;

    explicit RandomOrder(quint32 seed = DefaultSeed) : m_engine(seed) {}

    // A uniform single-precision value in [0, 1).
    float next() { return unitFrom(m_engine()); }
    // The value in [0, 1) that 32 random bits stand for.
    static float unitFrom(quint32 bits);

    // A sequence number from 1 to count for the value u in [0, 1); 1 when the
    // paper is empty.
    static int sequenceFor(int count, float u);

    int draw(int count) { return sequenceFor(count, next()); }

private:
    std::mt19937 m_engine;
};
