// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the installed program through a user's first run: import the
// package, read level A, practise, export, exit. The package test loads it
// into the program with LD_PRELOAD, so the program itself carries no test
// code; on Windows it is a Qt plugin the program loads when told to
// (QT_QPA_GENERIC_PLUGINS, scripts/windows/try.sh). It reads
// ZOMA_DRIVE_PACKAGE (the zip to import), ZOMA_DRIVE_PDF (a file named .pdf
// that is none) and ZOMA_DRIVE_DATA (the folder every file must land in,
// ending in a separator). With ZOMA_DRIVE_SHOTS (a folder) it also reads
// every level, practises the question at ZOMA_DRIVE_SEQUENCE (one with a
// picture), opens 学习中心, prints a paper and saves pictures of the windows
// there. Any surprise ends the process with status 3 and the reason on
// stderr.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "package drive: %s\n", qUtf8Printable(why));
    std::fflush(stderr);
    std::_Exit(3);
}

QString setting(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) fail(QStringLiteral("%1 is not set").arg(QLatin1String(name)));
    return value;
}

// The open window of that object name, or else of that title.
QWidget* window(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (w->objectName() == QString::fromUtf8(name) ||
                               w->windowTitle() == QString::fromUtf8(name)))
            return w;
    }
    fail(QStringLiteral("window %1 is not open").arg(QString::fromUtf8(name)));
}

template <typename T>
T* control(const char* windowName, const char* name) {
    T* c = window(windowName)->findChild<T*>(QLatin1String(name));
    if (!c)
        fail(QStringLiteral("%1 has no %2").arg(QLatin1String(windowName), QLatin1String(name)));
    return c;
}

void expectText(const QString& actual, const QString& expected, const char* what) {
    if (actual != expected)
        fail(QStringLiteral("%1 is \"%2\", not \"%3\"").arg(QLatin1String(what), actual, expected));
}

// Answers every modal dialog as the script expects: the file dialog with the
// file chosen last, each message box with its positive button, and nothing else.
class Answers final {
public:
    explicit Answers(const QString& file) : m_file(file) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(20);
    }
    void expect(const QString& textStart) { m_expected.push_back(textStart); }
    void choose(const QString& file) { m_file = file; }
    void checkAllShown() const {
        if (!m_expected.empty()) fail(QStringLiteral("no message \"%1\"").arg(m_expected.front()));
    }

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // Qt's own texts come from the translations the package pulls in.
            const auto* box = dialog->findChild<QDialogButtonBox*>();
            const bool save = dialog->acceptMode() == QFileDialog::AcceptSave;
            const QAbstractButton* accept =
                box ? box->button(save ? QDialogButtonBox::Save : QDialogButtonBox::Open) : nullptr;
            if (!accept ||
                !accept->text().startsWith(save ? QStringLiteral("保存") : QStringLiteral("打开")))
                fail(QStringLiteral("the file dialog's button reads \"%1\"")
                         .arg(accept ? accept->text() : QString()));
            // As a user does: the type that shows the file first.
            const QString pattern = QStringLiteral("*.") + QFileInfo(m_file).suffix();
            for (const QString& filter : dialog->nameFilters()) {
                if (filter.contains(pattern, Qt::CaseInsensitive)) {
                    dialog->selectNameFilter(filter);
                    break;
                }
            }
            dialog->selectFile(m_file);
            // The name field keeps the name proposed while it has the focus:
            // type the path there, as a user would.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(m_file);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (m_expected.empty() || !box->text().startsWith(m_expected.front())) {
                fail(QStringLiteral("unexpected message \"%1\"").arg(box->text()));
            }
            m_expected.pop_front();
            QAbstractButton* yes = box->button(QMessageBox::Ok);
            if (!yes) yes = box->button(QMessageBox::Yes);
            if (!yes) fail(QStringLiteral("message without OK or Yes: %1").arg(box->text()));
            if (!yes->text().startsWith(QStringLiteral("确定")) &&
                !yes->text().startsWith(QStringLiteral("是")))
                fail(QStringLiteral("a message box's button reads \"%1\"").arg(yes->text()));
            yes->click();
        }
    }

    QString m_file;
    std::deque<QString> m_expected;
    QTimer m_timer;
};

// The last button pressed, and where, for the report of a run that hangs.
QString lastStep = QStringLiteral("the start");

void press(Answers& answers, const char* windowName, const char* button) {
    lastStep = QStringLiteral("%1 %2").arg(QLatin1String(windowName), QLatin1String(button));
    auto* b = control<QAbstractButton>(windowName, button);
    if (!b->isEnabled()) fail(QStringLiteral("%1 is disabled").arg(QLatin1String(button)));
    b->click();  // returns once its message boxes are answered
    QCoreApplication::processEvents();
    answers.checkAllShown();
}

// A picture of the window, as it shows now.
void shot(const char* windowName, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(setting("ZOMA_DRIVE_SHOTS")).filePath(name + QStringLiteral(".png"));
    if (!window(windowName)->grab().save(path)) fail(QStringLiteral("cannot save ") + path);
}

void driveFurther(Answers& answers, const QString& data) {
    shot("Form1", QStringLiteral("main-window"));
    auto* level = control<QComboBox>("Form1", "Combo1");
    for (const QString& name :
         {QStringLiteral("B类"), QStringLiteral("C类"), QStringLiteral("A类")}) {
        level->setCurrentText(name);
        answers.expect(name + QStringLiteral("题库已读取"));
        press(answers, "Form1", "Command4");
    }

    answers.expect(QStringLiteral("发现上次复习记录"));
    press(answers, "Form1", "Command1");
    control<QLineEdit>("Form2", "Text3")->setText(setting("ZOMA_DRIVE_SEQUENCE"));
    if (control<QLabel>("Form2", "Image1")->pixmap().isNull())
        fail(QStringLiteral("the practice window shows no picture"));
    shot("Form2", QStringLiteral("practice-window"));
    press(answers, "Form2", "Command2");

    press(answers, "Form1", "studyButton");
    shot("学习中心", QStringLiteral("study-window"));
    window("学习中心")->close();

    press(answers, "Form1", "examButton");
    const QString paper = data + QStringLiteral("试卷.pdf");
    answers.choose(paper);
    answers.expect(QStringLiteral("PDF文件已保存："));
    press(answers, "模拟考试", "printPapersButton");
    QFile printed(paper);
    if (!printed.open(QIODevice::ReadOnly) || !printed.read(5).startsWith("%PDF-"))
        fail(QStringLiteral("no PDF paper at ") + paper);
    window("模拟考试")->close();
}

void drive() {
    const QString data = setting("ZOMA_DRIVE_DATA");
    // Never deleted: it answers until the process ends.
    Answers& answers = *new Answers(setting("ZOMA_DRIVE_PACKAGE"));
    QTimer::singleShot(60000, [] {
        QWidget* modal = QApplication::activeModalWidget();
        const auto* box = qobject_cast<QMessageBox*>(modal);
        fail(QStringLiteral("the run did not end within a minute; last pressed %1, modal: %2 %3")
                 .arg(lastStep,
                      modal ? QLatin1String(modal->metaObject()->className())
                            : QLatin1String("none"),
                      box ? box->text() : QString()));
    });

    press(answers, "Form1", "Command2");
    expectText(control<QLabel>("Form3", "Label3")->text(), data, "the import window's folder");
    press(answers, "Form3", "Command3");
    answers.expect(QStringLiteral("解压完成"));
    press(answers, "Form3", "Command1");
    // The PDF reader is a module of its own: it must be found where the
    // package put it, and answer.
    const QString pdf = setting("ZOMA_DRIVE_PDF");
    answers.choose(pdf);
    press(answers, "Form3", "Command3");
    answers.expect(QStringLiteral("PDF题库没有导入，题库文件夹未作改动。\n") +
                   QFileInfo(pdf).fileName() + QStringLiteral("：不是PDF文件"));
    press(answers, "Form3", "Command1");
    press(answers, "Form3", "Command2");

    answers.expect(QStringLiteral("A类题库已读取"));
    press(answers, "Form1", "Command4");

    press(answers, "Form1", "Command1");
    press(answers, "Form2", "Command1");
    press(answers, "Form2", "Command1");
    expectText(control<QLineEdit>("Form2", "Text3")->text(), QStringLiteral("3"),
               "the sequence number");
    press(answers, "Form2", "Command2");

    press(answers, "Form1", "Command5");
    expectText(control<QLineEdit>("Form4", "Text1")->text(),
               data + QStringLiteral("A类考试题库.TXT"), "the export file");
    answers.expect(QStringLiteral("导出已完成"));
    press(answers, "Form4", "Command1");
    press(answers, "Form4", "Command2");

    if (!qEnvironmentVariableIsEmpty("ZOMA_DRIVE_SHOTS")) driveFurther(answers, data);

    // The last window closes and the program ends on its own.
    answers.expect(QStringLiteral("感谢使用本复习工具"));
    press(answers, "Form1", "Command3");
}

// Runs once the program's event loop has started, after main() showed Form1.
void start() {
#ifdef Q_OS_WIN
    // Windows' own file dialog runs outside Qt's widgets, where no driver
    // reaches; Qt's shows the same choice.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    QMetaObject::invokeMethod(QCoreApplication::instance(), &drive, Qt::QueuedConnection);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(start)

// What makes the driver loadable as a Qt plugin (generic/, key zoma_drive):
// loading it is all it takes, the start function above does the rest.
class DrivePlugin final : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "package_drive.json")

public:
    QObject* create(const QString&, const QString&) override { return nullptr; }
};

#include "package_drive.moc"
