// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program does before its first window is on screen:
// the yardstick for the start of the review tool. With --label the window
// also shows one Chinese label, which brings in the font system every
// program with text pays for.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    if (QCoreApplication::arguments().contains(QStringLiteral("--label"))) {
        auto* label = new QLabel(QStringLiteral("读取数据"), &window);
        label->move(10, 10);
    }
    window.show();
    return QApplication::exec();
}
