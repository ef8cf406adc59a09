// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/random_order.h"

#include <algorithm>
#include <cmath>

float RandomOrder::unitFrom(quint32 bits) {
    // 24 random bits fill a float's mantissa exactly, so the value never
    // rounds up to 1 (std::uniform_real_distribution<float> can).
    return static_cast<float>(bits >> 8) * 0x1.0p-24f;
}

int RandomOrder::sequenceFor(int count, float u) {
    if (count <= 0) return 1;
    // In double the product of a 24-bit fraction and a count below 2^29 is
    // exact, so it stays below count; the clamp guards against u outside [0, 1).
    const double scaled = std::floor(static_cast<double>(count) * static_cast<double>(u));
    const double index = std::clamp(scaled, 0.0, static_cast<double>(count - 1));
    return static_cast<int>(index) + 1;
}
