// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/review_tool.h"
#include "main_window/form1.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/widgets.h"

#include <QComboBox>
#include <QTemporaryDir>

// The whole program in a temporary program folder, its main window shown and
// every dialog answered from a script.
class ProgramFixture final {
public:
    using Window = WindowRegistry::Window;

    explicit ProgramFixture(ReviewTool::Today today = &QDate::currentDate)
        : tool(dialogs, dir.path(), std::move(today)) {
        tool.mainWindow().show();
    }
    Q_DISABLE_COPY_MOVE(ProgramFixture)

    Form1* main() { return &tool.mainWindow(); }
    QWidget* window(Window w) const { return tool.windows.find(w); }
    QString appDir() const { return tool.values.AppDir; }
    QString libDir() const { return tool.values.LibDir; }

    // The sample library in place and a level read (0: A类 .. 2: C类), so
    // that review and export are open.
    void readLevel(int index) {
        copySampleLib(libDir());
        auto* combo = control<QComboBox>(main(), "Combo1");
        combo->setCurrentIndex(index);
        click(main(), "Command4");
        const QStringList texts = dialogs.takeTexts();
        QVERIFY2(texts.size() == 1 && texts[0].contains(QStringLiteral("题库已读取")),
                 qPrintable(texts.join(u'|')));
    }

    // Opens the import window, chooses package and presses import.
    void importPackage(const QString& package) {
        click(main(), "Command2");
        QWidget* import = window(Window::Import);
        QVERIFY(import);
        dialogs.chooseFile(package);
        click(import, "Command3");
        click(import, "Command1");
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ReviewTool tool;
};
