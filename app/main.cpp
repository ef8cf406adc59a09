// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/review_tool.h"
#include "main_window/form1.h"
#include "ui/fonts.h"
#include "ui/qt_dialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zoma::installFontFallbacks();

    QtDialogs dialogs;
    ReviewTool tool(dialogs, QCoreApplication::applicationDirPath());
    tool.mainWindow().show();
    return QApplication::exec();
}
