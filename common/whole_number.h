// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// A decimal whole number as the user or a file writes it: digits with
// optional surrounding blanks, leading zeros allowed, no sign. Numbers of any
// length are accepted; those above Huge are reported as TooLarge instead of
// overflowing.
struct WholeNumber {
    enum class Kind { NotANumber, TooLarge, Value };
    static constexpr qint64 Huge = 1'000'000'000'000LL;

    Kind kind = Kind::NotANumber;
    qint64 value = 0;

    bool isNumber() const { return kind != Kind::NotANumber; }
    // Whether the number lies in [low, high]; false for text that is no
    // number and for a number above Huge, whatever high is.
    bool inRange(qint64 low, qint64 high) const;

    static WholeNumber parse(QStringView text);
};
