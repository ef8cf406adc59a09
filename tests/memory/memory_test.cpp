// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

class MemoryTest final : public QObject {
    Q_OBJECT
};

QTEST_GUILESS_MAIN(MemoryTest)
#include "memory_test.moc"
