// The least a Qt Widgets program does before its first window is on screen:
// the yardstick for the start of the review tool.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    return QApplication::exec();
}
