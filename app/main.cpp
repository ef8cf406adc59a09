// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/review_tool.h"
#include "common/program_folder.h"
#include "main_window/form1.h"
#include "ui/fonts.h"
#include "ui/qt_dialogs.h"
#include "ui/translations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Fixed, so that the user's data folder does not move with the file name.
    QCoreApplication::setApplicationName(QStringLiteral("zoma_review"));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZOMA_APP_ID));
    // The menu's icon once installed; a portable copy finds none and shows Qt's.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ZOMA_APP_ID)));
    zoma::installFontFallbacks();
    zoma::installQtTranslations(QCoreApplication::applicationDirPath());

    QtDialogs dialogs;
    bool readOnly = false;
    ReviewTool tool(dialogs,
                    ProgramFolder::dataDir(QCoreApplication::applicationDirPath(), &readOnly));
    tool.mainWindow().show();
    if (readOnly) static_cast<Dialogs&>(dialogs).message(ReviewTool::ReadOnlyText);
    return QApplication::exec();
}
