#include "app/fonts.h"
#include "app/qt_dialogs.h"
#include "app/window_registry.h"
#include "bank/question_bank.h"
#include "export/form4.h"
#include "import/form3.h"
#include "import/unzip_bridge.h"
#include "main_window/form1.h"
#include "practice/form2.h"
#include "practice/random_order.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFontFallbacks();

    // The state of the run, shared by every window.
    QuestionBank bank;
    SharedValues values;
    QtDialogs dialogs;
    RandomOrder random;
    UnzipBridge bridge(dialogs);
    WindowRegistry windows;
    windows.setFactory(WindowRegistry::Window::Practice,
                       [&] { return new Form2(bank, values, dialogs, random); });
    windows.setFactory(WindowRegistry::Window::Import,
                       [&] { return new Form3(values, dialogs, bridge); });
    windows.setFactory(WindowRegistry::Window::Export,
                       [&] { return new Form4(bank, values, dialogs); });

    Form1 form1(bank, values, dialogs, windows, QCoreApplication::applicationDirPath());
    form1.show();
    return QApplication::exec();
}
