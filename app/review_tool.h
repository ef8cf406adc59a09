// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "import/unzip_bridge.h"
#include "memory/review_memory.h"
#include "practice/random_order.h"
#include "ui/dialogs.h"
#include "ui/window_registry.h"

#include <QDate>

#include <functional>
#include <memory>

class Form1;

// The whole program of one run: its state, shared by every window, and the
// main window, with the other windows opened through the registry.
class ReviewTool final {
public:
    using Today = std::function<QDate()>;

    ReviewTool(Dialogs& dialogs, const QString& programDir, Today today = &QDate::currentDate);
    ~ReviewTool();
    Q_DISABLE_COPY_MOVE(ReviewTool)

    Form1& mainWindow() { return *m_form1; }

    // Shown at start when no folder for the program's files can be had.
    static const QString ReadOnlyText;

    QuestionBank bank;
    SharedValues values;
    ReviewMemory memory;  // what every answer taught, for every window
    RandomOrder random;
    UnzipBridge bridge;
    WindowRegistry windows;

private:
    std::unique_ptr<Form1> m_form1;
};
