// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program that shows Chinese text does before its
// first window is on screen: the yardstick for the start of the review tool.
// Its one Chinese label brings in the font system, which every window with
// text pays for; an empty window would not.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    auto* label = new QLabel(QStringLiteral("读取数据"), &window);
    label->move(10, 10);
    window.show();
    return QApplication::exec();
}
