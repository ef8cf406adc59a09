// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_values.h"

#include "tests/support/test_files.h"

#include <QDir>
#include <QTest>

SharedValues programValues(const QString& programDir) {
    SharedValues values;
    values.setFolder(ProgramFolder(programDir));
    return values;
}

QString questionId(int q) {
    return QStringLiteral("LK%1").arg(q, 4, 10, QChar(u'0'));
}

void fillPaper(QuestionBank& bank, int count, const std::function<int(int)>& questionAt) {
    for (int k = 1; k <= count; ++k) {
        const int q = questionAt(k);
        const bool stored = bank.PaperIds.set(k - 1, questionId(q)) &&
                            bank.BankId.set(q, questionId(q)) &&
                            bank.BankQuestion.set(q, QStringLiteral("问题%1").arg(k)) &&
                            bank.OptionA.set(q, QStringLiteral("[A]对%1").arg(k)) &&
                            bank.OptionB.set(q, QStringLiteral("[B]错%1").arg(k)) &&
                            bank.OptionC.set(q, QStringLiteral("[C]错%1").arg(k)) &&
                            bank.OptionD.set(q, QStringLiteral("[D]错%1").arg(k));
        if (!stored) QTest::qFail("question number outside the store", __FILE__, __LINE__);
    }
    bank.PaperCount = count;
}

bool StoreTest::resetStore() {
    if (!m_dir.isValid()) return false;
    QDir(m_dir.path()).removeRecursively();
    if (!QDir().mkpath(m_dir.path())) return false;
    m_bank = QuestionBank();
    m_values = programValues(m_dir.path());
    return true;
}

void StoreTest::writeLib(const QString& name, const QByteArray& bytes) {
    writeBytes(m_values.LibDir + u'/' + name, bytes);
}
