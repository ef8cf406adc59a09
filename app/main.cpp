#include "app/fonts.h"
#include "app/qt_dialogs.h"
#include "app/window_registry.h"
#include "bank/question_bank.h"
#include "main_window/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFontFallbacks();

    QuestionBank bank;
    SharedValues values;
    QtDialogs dialogs;
    WindowRegistry windows;

    Form1 form1(bank, values, dialogs, windows, QCoreApplication::applicationDirPath());
    form1.show();
    return QApplication::exec();
}
