// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/fsrs.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

// The arithmetic follows ts-fsrs step for step, its rounding to eight places
// included, so that the reference table matches to the second.

namespace {

constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr qint64 kMinuteMs = 60 * 1000;
constexpr qint64 kDayMs = 24 * 60 * kMinuteMs;
constexpr int kDayMinutes = 1440;

// JavaScript's Math.round: halves go up.
double jsRound(double x) {
    return std::floor(x + 0.5);
}
double round8(double x) {
    return jsRound(x * 1e8) / 1e8;
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days between the UTC calendar dates of two times, as ts-fsrs counts them.
int utcDays(qint64 fromMs, qint64 toMs) {
    return int(floorDiv(toMs, kDayMs) - floorDiv(fromMs, kDayMs));
}

// The Alea generator ts-fsrs draws its fuzz from, seeded with a text.
class Alea {
public:
    // The generator after its three blank mashes, which every seed starts from.
    Alea() {
        m_s0 = mash(u" ");
        m_s1 = mash(u" ");
        m_s2 = mash(u" ");
    }
    void seed(QStringView seed) {
        m_s0 -= mash(seed);
        if (m_s0 < 0) m_s0 += 1;
        m_s1 -= mash(seed);
        if (m_s1 < 0) m_s1 += 1;
        m_s2 -= mash(seed);
        if (m_s2 < 0) m_s2 += 1;
    }
    double next() {
        const double t = 2091639 * m_s0 + m_c * 2.3283064365386963e-10;
        m_s0 = m_s1;
        m_s1 = m_s2;
        m_c = double(qint32(t));
        m_s2 = t - m_c;
        return m_s2;
    }

private:
    static double toUint32(double x) { return double(quint32(qint64(std::trunc(x)))); }
    double mash(QStringView data) {
        for (const QChar c : data) {
            m_n += c.unicode();
            double h = 0.02519603282416938 * m_n;
            m_n = toUint32(h);
            h -= m_n;
            h *= m_n;
            m_n = toUint32(h);
            h -= m_n;
            m_n += h * 4294967296.0;
        }
        return toUint32(m_n) * 2.3283064365386963e-10;
    }

    double m_n = 4022871197.0;
    double m_c = 1;
    double m_s0 = 0, m_s1 = 0, m_s2 = 0;
};

// A learning step's outcome: minutes to wait and the step it leads to.
struct StepOutcome {
    int minutes = 0;
    int step = 0;
};

// What the parameters fix for every review, worked out once for the last
// parameters seen: a replay of a long log uses one set throughout (see
// BENCHMARKS.md, the replay row).
struct Constants {
    std::array<double, 21> w{};
    double retention = -1;
    double decay = 0;
    double factor = 0;
    double modifier = 0;
    std::array<double, 5> initDifficulty{};  // by grade
    std::array<double, 5> shortTerm{};       // e^(w17·(g − 3 + w18)) by grade
    double forgetDivisor = 0;                // e^(w17·w18)
    double expW8 = 0;
};

const Constants& constantsFor(const FsrsParams& params) {
    thread_local Constants c;
    // memcmp: an element-wise comparison cost more than the rest of a review.
    if (c.retention == params.retention && std::memcmp(&c.w, &params.w, sizeof c.w) == 0) return c;
    c.w = params.w;
    c.retention = params.retention;
    c.decay = -c.w[20];
    c.factor = round8(std::exp(std::pow(c.decay, -1) * std::log(0.9)) - 1);
    const double retention =
        std::clamp(params.retention, FsrsParams::MinRetention, FsrsParams::MaxRetention);
    c.modifier = round8((std::pow(retention, 1 / c.decay) - 1) / c.factor);
    for (int g = 1; g <= 4; ++g) {
        c.initDifficulty[g] = round8(c.w[4] - std::exp((g - 1) * c.w[5]) + 1);
        c.shortTerm[g] = std::exp(c.w[17] * (g - 3 + c.w[18]));
    }
    c.forgetDivisor = std::exp(c.w[17] * c.w[18]);
    c.expW8 = std::exp(c.w[8]);
    return c;
}

// The formulas of FSRS-6 for one review.
class Review {
public:
    Review(const FsrsParams& params, QStringView seed, int elapsed)
        : m_p(params), m_c(constantsFor(params)), m_w(params.w), m_seed(seed), m_elapsed(elapsed) {}

    double forgetting(double days, double s) const {
        return round8(std::pow(1 + m_c.factor * days / s, m_c.decay));
    }

    // Difficulty and stability after grade g, t days after the last review.
    void nextState(double* d, double* s, int t, int g, std::optional<double> r) {
        if (*d == 0 && *s == 0) {
            *d = std::clamp(initDifficulty(g), 1.0, 10.0);
            *s = std::max(m_w[g - 1], 0.1);
            return;
        }
        const double rr = r ? *r : forgetting(t, *s);
        double ns;
        if (t == 0) {
            const double sinc = std::pow(*s, -m_w[19]) * m_c.shortTerm[g];
            ns = round8(std::clamp(*s * (g >= 2 ? std::max(sinc, 1.0) : sinc), kMinStability,
                                   kMaxStability));
        } else if (g == 1) {
            const double afterFail = round8(
                std::clamp(m_w[11] * std::pow(*d, -m_w[12]) * (std::pow(*s + 1, m_w[13]) - 1) *
                               std::exp((1 - rr) * m_w[14]),
                           kMinStability, kMaxStability));
            const double floor = round8(*s / m_c.forgetDivisor);
            ns = std::min(std::max(floor, kMinStability), afterFail);
        } else {
            const double hard = g == 2 ? m_w[15] : 1;
            const double easy = g == 4 ? m_w[16] : 1;
            // Hard, Good and Easy of one review share these two powers.
            if (m_recallFor != std::pair{*s, rr}) {
                m_recallFor = {*s, rr};
                m_recall = {std::pow(*s, -m_w[9]), std::exp((1 - rr) * m_w[10]) - 1};
            }
            ns = round8(std::clamp(
                *s * (1 + m_c.expW8 * (11 - *d) * m_recall.first * m_recall.second * hard * easy),
                kMinStability, kMaxStability));
        }
        *d = nextDifficulty(*d, g);
        *s = ns;
    }

    // Days to the next review for a stability, fuzzed.
    int interval(double s) {
        const double ivl =
            std::min(std::max(1.0, jsRound(s * m_c.modifier)), double(m_p.maximumInterval));
        if (!m_p.fuzz || ivl < 2.5) return int(jsRound(ivl));
        double delta = 1;
        delta += 0.15 * std::max(std::min(ivl, 7.0) - 2.5, 0.0);
        delta += 0.1 * std::max(std::min(ivl, 20.0) - 7, 0.0);
        delta += 0.05 * std::max(ivl - 20, 0.0);
        double minIvl = std::max(2.0, jsRound(ivl - delta));
        const double maxIvl = std::min(jsRound(ivl + delta), double(m_p.maximumInterval));
        if (ivl > m_elapsed) minIvl = std::max(minIvl, double(m_elapsed) + 1);
        minIvl = std::min(minIvl, maxIvl);
        return int(std::floor(fuzzFactor() * (maxIvl - minIvl + 1) + minIvl));
    }

private:
    double initDifficulty(int g) const { return m_c.initDifficulty[g]; }
    double nextDifficulty(double d, int g) const {
        const double delta = -m_w[6] * (g - 3);
        const double next = d + round8(delta * (10 - d) / 9);
        return std::clamp(round8(m_w[7] * m_c.initDifficulty[4] + (1 - m_w[7]) * next), 1.0, 10.0);
    }
    // ts-fsrs draws afresh from the same seed for every interval of a review.
    double fuzzFactor() {
        if (!m_fuzzFactor) {
            static const Alea blank;
            Alea alea = blank;
            alea.seed(m_seed);
            m_fuzzFactor = alea.next();
        }
        return *m_fuzzFactor;
    }

    const FsrsParams& m_p;
    const Constants& m_c;
    const std::array<double, 21>& m_w;
    QStringView m_seed;
    int m_elapsed;
    std::optional<double> m_fuzzFactor;
    std::pair<double, double> m_recallFor{-1, -1};  // the stability and recall m_recall is for
    std::pair<double, double> m_recall;
};

// What the learning steps give for a grade: nothing once the steps are done,
// and for a review card only Again has a step.
std::optional<StepOutcome> learningStep(const FsrsParams& p, CardState state, int step, int g) {
    const bool relearn = state == CardState::Relearning || state == CardState::Review;
    const QList<int>& steps = relearn ? p.relearningSteps : p.learningSteps;
    const int n = int(steps.size());
    if (n == 0 || step >= n) return std::nullopt;
    if (state == CardState::Review) {
        if (g == 1) return StepOutcome{steps[std::max(0, step)], 0};
        return std::nullopt;
    }
    switch (g) {
        case 1:
            return StepOutcome{steps[0], 0};
        case 2:
            return StepOutcome{
                int(n == 1 ? jsRound(steps[0] * 1.5) : jsRound((steps[0] + steps[1]) / 2.0)), step};
        case 3:
            if (step + 1 < n && steps[step + 1] != 0) return StepOutcome{steps[step + 1], step + 1};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void setDue(Card* card, qint64 nowMs, int days, const FsrsParams& p) {
    qint64 due = nowMs + days * kDayMs;
    card->scheduledDays = days;
    if (p.latestDue.isValid()) {
        const qint64 latest = p.latestDue.toMSecsSinceEpoch();
        if (latest > nowMs && due > latest) {
            due = latest;
            card->scheduledDays = int((latest - nowMs) / kDayMs);
        }
    }
    card->due = QDateTime::fromMSecsSinceEpoch(due, Qt::UTC);
}

// Puts the card on its next learning step, or graduates it to review.
void applySteps(Card* out, const Card& before, int g, CardState toState, qint64 nowMs,
                Review& review, const FsrsParams& p) {
    const std::optional<StepOutcome> outcome = learningStep(p, before.state, before.step, g);
    const int minutes = outcome ? std::max(0, outcome->minutes) : 0;
    if (minutes > 0 && minutes < kDayMinutes) {
        out->step = outcome->step;
        out->scheduledDays = 0;
        out->state = toState;
        out->due = QDateTime::fromMSecsSinceEpoch(nowMs + minutes * kMinuteMs, Qt::UTC);
        return;
    }
    out->state = CardState::Review;
    if (minutes >= kDayMinutes) {
        out->step = outcome->step;
        out->scheduledDays = minutes / kDayMinutes;
        out->due = QDateTime::fromMSecsSinceEpoch(nowMs + minutes * kMinuteMs, Qt::UTC);
    } else {
        out->step = 0;
        setDue(out, nowMs, review.interval(out->stability), p);
    }
}

}  // namespace

Card zoma::next(const Card& card, Rating rating, const QDateTime& now, const FsrsParams& params,
                QStringView fuzzKey) {
    const int g = int(rating);
    qint64 nowMs = now.toMSecsSinceEpoch();
    const bool seen = card.state != CardState::New && card.lastReview.isValid();
    if (seen) nowMs = std::max(nowMs, card.lastReview.toMSecsSinceEpoch());
    const int elapsed = seen ? utcDays(card.lastReview.toMSecsSinceEpoch(), nowMs) : 0;

    Card out = card;
    out.reps = card.reps + 1;
    out.lastReview = QDateTime::fromMSecsSinceEpoch(nowMs, Qt::UTC);
    // The seed ts-fsrs makes from a card identifier: the identifier, then the count.
    QVarLengthArray<char16_t, 32> seed(fuzzKey.utf16(), fuzzKey.utf16() + fuzzKey.size());
    char16_t digits[12];
    int n = 0;
    for (int reps = out.reps; n == 0 || reps > 0; reps /= 10)
        digits[n++] = char16_t(u'0' + reps % 10);
    while (n > 0) seed.append(digits[--n]);
    Review review(params, QStringView(seed.constData(), seed.size()), elapsed);

    if (card.state != CardState::Review) {
        review.nextState(&out.difficulty, &out.stability, elapsed, g, std::nullopt);
        const CardState to = card.state == CardState::New ? CardState::Learning : card.state;
        applySteps(&out, card, g, to, nowMs, review, params);
        return out;
    }

    const double r = review.forgetting(elapsed, card.stability);
    if (g == 1) {
        review.nextState(&out.difficulty, &out.stability, elapsed, g, r);
        applySteps(&out, card, g, CardState::Relearning, nowMs, review, params);
        out.lapses += 1;
        return out;
    }
    // Hard, Good and Easy keep their intervals apart: each at least a day
    // longer than the one before.
    std::array<double, 3> d{}, s{};
    for (int i = 0; i < (g == 4 ? 3 : 2); ++i) {
        d[i] = card.difficulty;
        s[i] = card.stability;
        review.nextState(&d[i], &s[i], elapsed, i + 2, r);
    }
    int hard = review.interval(s[0]);
    int good = review.interval(s[1]);
    hard = std::min(hard, good);
    good = std::max(good, hard + 1);
    const int easy = g == 4 ? std::max(review.interval(s[2]), good + 1) : 0;
    const int i = g - 2;
    out.difficulty = d[i];
    out.stability = s[i];
    out.state = CardState::Review;
    out.step = 0;
    setDue(&out, nowMs, g == 2 ? hard : g == 3 ? good : easy, params);
    return out;
}

double zoma::retrievability(const Card& card, const QDateTime& at, const FsrsParams& params) {
    if (card.state == CardState::New || !card.lastReview.isValid() || card.stability <= 0) return 0;
    const double decay = -params.w[20];
    const double factor = std::exp(std::log(0.9) / decay) - 1;
    const double days =
        std::max<qint64>(0, at.toMSecsSinceEpoch() - card.lastReview.toMSecsSinceEpoch()) /
        double(kDayMs);
    return std::pow(1 + factor * days / card.stability, decay);
}

QString zoma::stateName(CardState state) {
    switch (state) {
        case CardState::New:
            return QStringLiteral("新");
        case CardState::Learning:
            return QStringLiteral("学习中");
        case CardState::Review:
            return QStringLiteral("复习");
        case CardState::Relearning:
            return QStringLiteral("重学");
    }
    return {};
}
