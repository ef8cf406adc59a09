// SPDX-License-Identifier: GPL-3.0-or-later
// The scheduler held to the reference table that ts-fsrs made
// (scripts/fsrs-table), and its own fuzz and exam-date cap.
#include "memory/fsrs.h"
#include "common/regular_file.h"

#include <QSet>
#include <QTest>

namespace {

struct Expected {
    QDateTime time;
    Rating rating;
    Card card;
};

struct Sequence {
    QString name;
    QString id;
    FsrsParams params;
    QList<Expected> steps;
};

}  // namespace

// Before its first use in a data table, or a release build does not compile.
Q_DECLARE_METATYPE(Sequence)

namespace {

QDateTime utc(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    return t.toUTC();
}

QList<Sequence> readTable() {
    QByteArray bytes;
    QString error;
    if (!zoma::readRegularFile(QStringLiteral(ZOMA_FSRS_TABLE), kMaxFileSize, &bytes, &error))
        qFatal("fsrs_reference.tsv: %s", qPrintable(error));
    QList<Sequence> table;
    for (const QByteArray& raw : bytes.split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#')) continue;
        const QStringList f = QString::fromUtf8(raw).split(u'\t');
        if (f.size() != 14) qFatal("bad table line: %s", raw.constData());
        if (table.isEmpty() || table.last().name != f[0]) {
            Sequence s;
            s.name = f[0];
            s.params.retention = f[1].toDouble();
            s.params.fuzz = f[2] == u"1";
            s.id = f[3];
            table.append(s);
        }
        Expected e;
        e.time = utc(f[4]);
        e.rating = Rating(f[5].toInt());
        e.card.state = CardState(f[6].toInt());
        e.card.stability = f[7].toDouble();
        e.card.difficulty = f[8].toDouble();
        e.card.due = utc(f[9]);
        e.card.reps = f[10].toInt();
        e.card.lapses = f[11].toInt();
        e.card.scheduledDays = f[12].toInt();
        e.card.step = f[13].toInt();
        table.last().steps.append(e);
    }
    return table;
}

}  // namespace

class FsrsTest final : public QObject {
    Q_OBJECT

private slots:
    void reference_data() {
        QTest::addColumn<Sequence>("sequence");
        const QList<Sequence> table = readTable();
        QVERIFY(table.size() > 100);
        for (const Sequence& s : table) QTest::newRow(qPrintable(s.name)) << s;
    }
    void reference() {
        QFETCH(Sequence, sequence);
        Card card;
        for (qsizetype i = 0; i < sequence.steps.size(); ++i) {
            const Expected& e = sequence.steps[i];
            card = zoma::next(card, e.rating, e.time, sequence.params, sequence.id);
            const QByteArray at = "review " + QByteArray::number(i + 1);
            QVERIFY2(card.state == e.card.state, at);
            QVERIFY2(qAbs(card.stability - e.card.stability) < 1e-4, at);
            QVERIFY2(qAbs(card.difficulty - e.card.difficulty) < 1e-4, at);
            QCOMPARE(card.due, e.card.due);
            QVERIFY2(card.reps == e.card.reps && card.lapses == e.card.lapses, at);
            QVERIFY2(card.scheduledDays == e.card.scheduledDays && card.step == e.card.step, at);
            QCOMPARE(card.lastReview, e.time);
        }
    }

    // Over many questions the fuzz reaches every day of its range, none more
    // than twice as often as an even share, and one question always gets
    // the same day.
    void fuzzSpread() {
        const QDateTime start = utc(QStringLiteral("2026-03-01T06:00:00Z"));
        FsrsParams params;
        Card base;
        base = zoma::next(base, Rating::Good, start, params, u"X");
        base = zoma::next(base, Rating::Good, start.addSecs(600), params, u"X");
        const QDateTime review = start.addDays(30);
        params.fuzz = false;
        const int plain = zoma::next(base, Rating::Good, review, params, u"X").scheduledDays;
        params.fuzz = true;
        QHash<int, int> counts;
        constexpr int kQuestions = 4000;
        for (int i = 0; i < kQuestions; ++i) {
            const QString id = QStringLiteral("MC3-%1").arg(i, 4, 10, QChar(u'0'));
            const Card a = zoma::next(base, Rating::Good, review, params, id);
            QCOMPARE(zoma::next(base, Rating::Good, review, params, id), a);
            ++counts[a.scheduledDays];
        }
        // The range ts-fsrs gives an interval of about 100 days: ±(1 + 0.675 + 1.3 + 0.05·(ivl −
        // 20)).
        const double delta = 1 + 0.15 * 4.5 + 0.1 * 13 + 0.05 * (plain - 20);
        const int lo = qRound(plain - delta), hi = qRound(plain + delta);
        QCOMPARE(counts.keys().size(), hi - lo + 1);
        for (int d = lo; d <= hi; ++d) {
            QVERIFY2(counts.value(d) > kQuestions / (hi - lo + 1) / 2,
                     qPrintable(QString::number(d)));
            QVERIFY(counts.value(d) < 2 * kQuestions / (hi - lo + 1));
        }
    }

    void examCap_data() {
        QTest::addColumn<int>("capDays");  // from the review, 0 for none
        QTest::addColumn<int>("days");     // the interval given
        QTest::newRow("no cap") << 0 << 129;
        QTest::newRow("cap beyond") << 400 << 129;
        QTest::newRow("cap inside") << 20 << 20;
        QTest::newRow("cap passed") << -1 << 129;
    }
    void examCap() {
        QFETCH(int, capDays);
        QFETCH(int, days);
        const QDateTime start = utc(QStringLiteral("2026-03-01T06:00:00Z"));
        FsrsParams params;
        params.fuzz = false;
        Card card;
        for (const auto& [offset, rating] : {std::pair{0, Rating::Good},
                                             {1, Rating::Good},
                                             {11, Rating::Good},
                                             {3 * 1440 + 11, Rating::Good},
                                             {12 * 1440 + 11, Rating::Good}})
            card = zoma::next(card, rating, start.addSecs(offset * 60), params, u"X");
        const QDateTime review = start.addDays(42).addSecs(11 * 60);
        if (capDays != 0) params.latestDue = review.addDays(capDays);
        const Card out = zoma::next(card, Rating::Good, review, params, u"X");
        QCOMPARE(out.due, review.addDays(days));
        QCOMPARE(out.scheduledDays, days);
    }

    void retrievability() {
        const QDateTime start = utc(QStringLiteral("2026-03-01T06:00:00Z"));
        FsrsParams params;
        QCOMPARE(zoma::retrievability(Card(), start, params), 0.0);
        Card card;
        card = zoma::next(card, Rating::Easy, start, params, u"X");
        QCOMPARE(zoma::retrievability(card, start, params), 1.0);
        // Stability is the time recall falls to 90 %.
        const QDateTime atS = start.addSecs(qint64(card.stability * 86400));
        QVERIFY(qAbs(zoma::retrievability(card, atS, params) - 0.9) < 1e-4);
        QVERIFY(zoma::retrievability(card, start.addDays(100), params) < 0.9);
    }
};

QTEST_GUILESS_MAIN(FsrsTest)
#include "fsrs_test.moc"
