// SPDX-License-Identifier: GPL-3.0-or-later
// A Qt plug-in that the benchmarks load into a program through
// QT_QPA_GENERIC_PLUGINS=zoma_show_probe. It ends the program as soon as its
// first window has been painted, so that the real program is timed from its
// start until its main window is shown, without any change to its main().
//
// With ZOMA_PROBE=practice it first plays the user of the main window: it
// chooses C类, reads the data, answers each message box with its default
// button and opens the practice window; the program ends once that window
// has been painted. Exit code 3 means the scenario could not be played.
//
// With ZOMA_PROBE_PEAK set to a file name, the program's peak resident memory
// (VmHWM, in KiB) is written there as it ends. A parent's own figure from
// wait4() would not do: at exec the child inherits the high-water mark of
// the process that spawned it.

#include <QApplication>
#include <QComboBox>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <fstream>
#include <string>

#include <cstdio>
#include <cstdlib>

namespace {

enum class Scenario { Shown, Practice };

[[noreturn]] void finish() {
    const QByteArray report = qgetenv("ZOMA_PROBE_PEAK");
    if (!report.isEmpty()) {
        std::ifstream status("/proc/self/status");
        std::ofstream out(report.constData());
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmHWM:", 0) == 0) out << std::stoll(line.substr(6)) << '\n';
        }
    }
    std::_Exit(0);
}

class ShowProbe final : public QObject {
public:
    explicit ShowProbe(Scenario scenario) : m_scenario(scenario) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) exposed(window);
        } else if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) answer(box);
        }
        return false;
    }

private:
    static QWidget* widgetOf(const QWindow* window) {
        const QWidgetList tops = QApplication::topLevelWidgets();
        for (QWidget* top : tops) {
            if (top->windowHandle() == window) return top;
        }
        return nullptr;
    }

    // Called before the window paints; the queued call runs after it.
    void exposed(QWindow* window) {
        QWidget* widget = widgetOf(window);
        const QString name = widget ? widget->objectName() : QString();
        if (m_scenario == Scenario::Shown || name == QStringLiteral("Form2")) {
            QMetaObject::invokeMethod(this, &finish, Qt::QueuedConnection);
        } else if (name == QStringLiteral("Form1") && !m_driving) {
            m_driving = true;
            QPointer<QWidget> form1(widget);
            QMetaObject::invokeMethod(
                this, [form1] { practise(form1); }, Qt::QueuedConnection);
        }
    }

    static void answer(QMessageBox* box) {
        QPointer<QMessageBox> target(box);
        QMetaObject::invokeMethod(
            box,
            [target] {
                if (!target) return;
                QAbstractButton* button = target->defaultButton();
                if (!button && !target->buttons().isEmpty()) button = target->buttons().first();
                if (button) button->click();
            },
            Qt::QueuedConnection);
    }

    [[noreturn]] static void giveUp(const char* why) {
        std::fprintf(stderr, "zoma_show_probe: %s\n", why);
        std::_Exit(3);
    }

    static void practise(const QPointer<QWidget>& form1) {
        if (!form1) giveUp("the main window is gone");
        auto* level = form1->findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* read = form1->findChild<QPushButton*>(QStringLiteral("Command4"));
        auto* review = form1->findChild<QPushButton*>(QStringLiteral("Command1"));
        if (!level || !read || !review) giveUp("the main window lacks its controls");
        level->setCurrentText(QStringLiteral("C类"));
        read->click();  // the message box is answered by answer()
        if (!review->isEnabled()) giveUp("reading the data did not enable review");
        review->click();
    }

    Scenario m_scenario;
    bool m_driving = false;
};

}  // namespace

class ShowProbePlugin final : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "show_probe.json")

public:
    QObject* create(const QString& key, const QString&) override {
        if (key.compare(QStringLiteral("zoma_show_probe"), Qt::CaseInsensitive) != 0)
            return nullptr;
        const bool practice = qEnvironmentVariable("ZOMA_PROBE") == QStringLiteral("practice");
        return new ShowProbe(practice ? Scenario::Practice : Scenario::Shown);
    }
};

#include "show_probe.moc"
