// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QObject>
#include <QTemporaryDir>

#include <functional>

// The shared values of a program that lives in programDir.
SharedValues programValues(const QString& programDir);

// The identifier of question number q, such as LK0012.
QString questionId(int q);

// A paper of count questions; position k (from 1) holds question questionAt(k),
// whose texts name k: 问题k, [A]对k, [B]错k, [C]错k, [D]错k.
void fillPaper(QuestionBank& bank, int count, const std::function<int(int)>& questionAt);

// What the readers' tests start each case from: an empty store and the
// shared values of a program in an emptied temporary folder.
class StoreTest : public QObject {
protected:
    QTemporaryDir m_dir;
    QuestionBank m_bank;
    SharedValues m_values;

    // Empties the folder and the store; call from init() under QVERIFY.
    bool resetStore();
    void writeLib(const QString& name, const QByteArray& bytes);
};
