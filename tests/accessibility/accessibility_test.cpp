// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears from the real windows: every control has a
// name, a label is heard as it reads, and a window's controls can be told
// apart by ear.
#include "app/review_tool.h"
#include "main_window/form1.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Window = WindowRegistry::Window;

namespace {

QString announcedName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString withoutBlanks(QString text) {
    text.remove(u' ');
    return text;
}

void click(QWidget* window, const char* name) {
    auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
    if (!button) qFatal("no button %s", name);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class AccessibilityTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_programDir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<ReviewTool> m_tool;

    // The four windows as a user has them while working: the sample bank
    // read, a question with a picture shown, a package chosen.
    QList<QWidget*> windows() const {
        return {&m_tool->mainWindow(), m_tool->windows.find(Window::Practice),
                m_tool->windows.find(Window::Import), m_tool->windows.find(Window::Export)};
    }

private slots:
    void initTestCase() {
        m_tool = std::make_unique<ReviewTool>(m_dialogs, m_programDir.path());
        QWidget* main = &m_tool->mainWindow();
        main->show();
        copySampleLib(m_tool->values.LibDir);
        click(main, "Command4");
        click(main, "Command1");
        QWidget* practice = m_tool->windows.find(Window::Practice);
        QVERIFY(practice);
        auto* picture = practice->findChild<QLabel*>(QStringLiteral("Image1"));
        for (int i = 0; i < m_tool->bank.PaperCount && picture->pixmap().isNull(); ++i) {
            click(practice, "Command1");
        }
        QVERIFY(!picture->pixmap().isNull());
        click(main, "Command5");
        m_dialogs.answer(Dialogs::Answer::Yes);  // unpack again over the bank
        click(main, "Command2");
        QWidget* import = m_tool->windows.find(Window::Import);
        QVERIFY(import);
        m_dialogs.chooseFile(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        click(import, "Command3");
        QVERIFY(m_tool->windows.find(Window::Export));
        QVERIFY(m_dialogs.scriptDone());
    }

    void cleanupTestCase() { m_tool.reset(); }

    void everyControlIsAnnounced_data() {
        QTest::addColumn<QWidget*>("control");
        for (QWidget* window : windows()) {
            const QString title = window->windowTitle();
            QTest::newRow(qPrintable(title)) << window;
            const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* child : children) {
                QTest::addRow("%s/%s", qPrintable(title), qPrintable(child->objectName())) << child;
            }
        }
    }
    void everyControlIsAnnounced() {
        QFETCH(QWidget*, control);
        const QString name = announcedName(control);
        QVERIFY2(!name.trimmed().isEmpty(), "a screen reader would announce nothing");
        if (control->isWindow()) {
            // The title stays "FormN"; the window must be announced by what it is.
            QVERIFY2(name != control->windowTitle(), qPrintable(name));
        }
        // A label is heard as it reads, also when its text changes as the
        // user works; a fixed name would hide the question's identifier.
        if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
            QString caption = withoutBlanks(label->text());
            if (caption.endsWith(u'：')) caption.chop(1);
            QVERIFY2(withoutBlanks(name).contains(caption),
                     qPrintable(name + QStringLiteral(" / ") + label->text()));
        }
    }

    void controlsAreToldApart_data() {
        QTest::addColumn<QWidget*>("window");
        for (QWidget* window : windows())
            QTest::newRow(qPrintable(window->windowTitle())) << window;
    }
    void controlsAreToldApart() {
        QFETCH(QWidget*, window);
        QMap<QString, QString> seen;  // name -> control
        const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (child->focusPolicy() == Qt::NoFocus) continue;
            const QString name = announcedName(child);
            QVERIFY2(!seen.contains(name),
                     qPrintable(seen.value(name) + u' ' + child->objectName() + u' ' + name));
            seen.insert(name, child->objectName());
        }
        QVERIFY(seen.size() >= 3);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
