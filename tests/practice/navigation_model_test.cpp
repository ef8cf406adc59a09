// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of random user actions in the practice window, each followed by a
// comparison with a small model of the navigation rules: the question shown,
// the answers, the field, Previous, the resume record and every message.
#include "practice/form2.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// What the window must show, derived from the rules alone.
struct Model {
    int count = 0;
    QString field;
    int shown = 0;  // sequence number on screen
    bool onlyCorrect = false;
    bool answersCorrectOnly = false;  // the mode the answers on screen were drawn in
    bool random = false;
    QStringList messages;
    RandomOrder generator;  // a twin of the window's, drawn in step with it

    void change() {
        if (!field.isEmpty()) {
            const int n = field.toInt();
            if (n >= 1 && n <= count) {
                shown = n;
                answersCorrectOnly = onlyCorrect;
            } else {
                messages << Form2::InputError;
            }
        }
    }
    void assign(const QString& text) {
        field = text;
        change();
    }
    int number() const { return field.isEmpty() ? 0 : field.toInt(); }
    // The answers are drawn anew only while the field holds a valid number.
    void toggleAnswerMode() {
        onlyCorrect = !onlyCorrect;
        if (number() >= 1 && number() <= count) answersCorrectOnly = onlyCorrect;
    }
    void next() {
        if (random)
            assign(QString::number(generator.draw(count)));
        else
            assign(QString::number(number() < count ? number() + 1 : 1));
    }
    void previous() {
        if (!random) assign(QString::number(number() > 1 ? number() - 1 : count));
    }
    // Opening the window: offers the recorded position when there is one.
    bool open(bool resume) {
        onlyCorrect = false;
        random = false;
        const bool asks = number() > 0;
        if (asks) {
            messages << Form2::ResumeQuestion;
            if (resume) {
                assign(QString::number(number() + 1));
                if (number() > count) assign(QStringLiteral("1"));
                return asks;
            }
        }
        assign(QStringLiteral("1"));
        return asks;
    }
};

}  // namespace

class NavigationModelTest final : public QObject {
    Q_OBJECT

private slots:
    void randomActions_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("one question") << 1 << 1u;
        QTest::newRow("two questions") << 2 << 2u;
        QTest::newRow("seven questions") << 7 << 7u;
    }
    void randomActions() {
        QFETCH(int, count);
        QFETCH(quint32, seed);

        QTemporaryDir dir;
        QuestionBank bank;
        fillPaper(bank, count, [](int k) { return 10 * k; });  // positions and numbers differ
        SharedValues values = programValues(dir.path());
        values.PracticeLevel = QStringLiteral("A类");
        ScriptedDialogs dialogs;
        RandomOrder random;
        Model model;
        model.count = count;
        QStringList seen;

        std::unique_ptr<Form2> form;
        const auto reopen = [&](bool resume) {
            if (form)
                QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")),
                                  Qt::LeftButton);
            form.reset();
            if (model.open(resume))
                dialogs.answer(resume ? Dialogs::Answer::Yes : Dialogs::Answer::No);
            form = std::make_unique<Form2>(bank, values, dialogs, random);
            form->show();
        };
        const auto child = [&](const char* name) {
            return form->findChild<QWidget*>(QString::fromLatin1(name));
        };
        reopen(false);

        QRandomGenerator actions(seed);
        for (int step = 0; step < 400; ++step) {
            auto* field = static_cast<QLineEdit*>(child("Text3"));
            const int action = actions.bounded(9);
            switch (action) {
                case 0:
                case 1:
                    QTest::mouseClick(child("Command1"), Qt::LeftButton);
                    model.next();
                    break;
                case 2:
                    QTest::mouseClick(child("Command3"),
                                      Qt::LeftButton);  // disabled in random order
                    model.previous();
                    break;
                case 3:
                    QTest::mouseClick(child("Check2"), Qt::LeftButton);
                    model.random = !model.random;
                    break;
                case 4:
                    QTest::mouseClick(child("Check1"), Qt::LeftButton);
                    model.toggleAnswerMode();
                    break;
                case 5:
                case 6:
                    if (model.field.size() < 4) {
                        const QChar digit(u'0' + actions.bounded(10));
                        QTest::keyClick(field, Qt::Key_End);
                        QTest::keyClicks(field, QString(digit));
                        model.field += digit;
                        model.change();
                        break;
                    }
                    [[fallthrough]];
                case 7:
                    QTest::keyClick(field, Qt::Key_End);
                    QTest::keyClick(field, Qt::Key_Backspace);
                    if (!model.field.isEmpty()) {
                        model.field.chop(1);
                        model.change();
                    }
                    break;
                case 8:
                    reopen(actions.bounded(2) == 0);
                    break;
            }

            const QString where = QStringLiteral("step %1, action %2").arg(step).arg(action);
            const int q = 10 * model.shown;
            const QString answers = model.answersCorrectOnly
                                        ? bank.OptionA.value(q)
                                        : QStringList{bank.OptionA.value(q), bank.OptionB.value(q),
                                                      bank.OptionC.value(q), bank.OptionD.value(q)}
                                              .join(u'\n');
            seen += dialogs.takeTexts();
            QVERIFY2(seen == model.messages, qPrintable(where));
            QVERIFY2(static_cast<QLineEdit*>(child("Text3"))->text() == model.field,
                     qPrintable(where));
            QVERIFY2(
                static_cast<QLabel*>(child("Label5"))->text() == Form2::IdPrefix + questionId(q),
                qPrintable(where));
            QVERIFY2(static_cast<QPlainTextEdit*>(child("Text2"))->toPlainText() == answers,
                     qPrintable(where));
            QVERIFY2(child("Command3")->isEnabled() == !model.random, qPrintable(where));
            QVERIFY2(
                readBytes(values.AppDir + Form2::RecordName) == model.field.toLatin1() + "\r\n",
                qPrintable(where));
        }
        QVERIFY(dialogs.scriptDone());
    }
};

QTEST_MAIN(NavigationModelTest)
#include "navigation_model_test.moc"
