#include "bank/read_data.h"
#include "bank/whole_number.h"
#include "main_window/form1.h"
#include "practice/form2.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

#include <cmath>
#include <memory>

using Answer = Dialogs::Answer;
using Answers = QList<Answer>;
Q_DECLARE_METATYPE(Dialogs::Answer)

namespace {

// Paper position k holds question 100 + k, so positions and numbers differ.
QString entryFor(int k) { return QStringLiteral("LK%1").arg(100 + k, 4, 10, QChar(u'0')); }
QString labelFor(int k) { return Form2::IdPrefix + entryFor(k); }
QByteArray crlf(const QString& line) { return line.toLatin1() + "\r\n"; }

void writePicture(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width(), size.height(), Qt::blue);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path, "JPG"));
}

}  // namespace

class PracticeTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QuestionBank m_bank;
    SharedValues m_values;
    ScriptedDialogs m_dialogs;
    RandomOrder m_random;
    std::unique_ptr<Form2> m_form;

    void fillPaper(int count) {
        for (int k = 1; k <= count; ++k) {
            const int q = 100 + k;
            QVERIFY(m_bank.BankId.set(q, entryFor(k)));
            QVERIFY(m_bank.BankQuestion.set(q, QStringLiteral("问题%1").arg(k)));
            QVERIFY(m_bank.OptionA.set(q, QStringLiteral("[A]对%1").arg(k)));
            QVERIFY(m_bank.OptionB.set(q, QStringLiteral("[B]错%1").arg(k)));
            QVERIFY(m_bank.OptionC.set(q, QStringLiteral("[C]错%1").arg(k)));
            QVERIFY(m_bank.OptionD.set(q, QStringLiteral("[D]错%1").arg(k)));
            QVERIFY(m_bank.PaperIds.set(k - 1, entryFor(k)));
        }
        m_bank.PaperCount = count;
    }
    QString recordPath() const { return m_values.AppDir + Form2::RecordName; }
    void open(const Answers& answers = {}) {
        for (Answer a : answers) m_dialogs.answer(a);
        m_form = std::make_unique<Form2>(m_bank, m_values, m_dialogs, m_random);
        m_form->show();
    }
    template <typename T>
    T* child(const char* name) {
        T* w = m_form->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QLineEdit* field() { return child<QLineEdit>("Text3"); }
    QString shownLabel() { return child<QLabel>("Label5")->text(); }
    QString text(const char* name) { return child<QPlainTextEdit>(name)->toPlainText(); }
    QPixmap picture() { return child<QLabel>("Image1")->pixmap(); }
    void click(const char* name) { child<QAbstractButton>(name)->click(); }
    QList<int> randomDraws(int n) {
        QList<int> draws;
        for (int i = 0; i < n; ++i) {
            click("Command1");
            draws << field()->text().toInt();
        }
        return draws;
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_bank = QuestionBank();
        m_values = SharedValues();
        m_values.AppDir = appDirFrom(m_dir->path());
        m_values.LibDir = m_values.AppDir + QStringLiteral("lib");
        m_values.PracticeLevel = QStringLiteral("C类");
        m_dialogs = ScriptedDialogs();
        m_random = RandomOrder();
        fillPaper(12);
    }
    void cleanup() {
        m_form.reset();
        QVERIFY(m_dialogs.scriptDone());
    }

    void controls() {
        open();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Form2"));
        QCOMPARE(m_form->size(), QSize(709, 578));
        QCOMPARE(child<QLabel>("Image1")->geometry(), QRect(456, 176, 233, 193));
        QCOMPARE(child<QLabel>("Label3")->text(), QStringLiteral("C类考试题库练习"));
        QCOMPARE(child<QLabel>("Label7")->text(), QStringLiteral("（序号范围：1 - 12）"));
        QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("退 出"));
        QVERIFY(!child<QCheckBox>("Check1")->isChecked() && !child<QCheckBox>("Check2")->isChecked());
        QVERIFY(child<QPushButton>("Command3")->isEnabled());
        QCOMPARE(text("Text1"), QStringLiteral("问题1"));
        QCOMPARE(text("Text2"), QStringLiteral("[A]对1\n[B]错1\n[C]错1\n[D]错1"));
        QCOMPARE(shownLabel(), labelFor(1));
        QCOMPARE(m_form->focusWidget(), child<QWidget>("Text1"));
        QStringList order;
        for (QWidget* w = m_form->focusWidget(); order.size() < 8; w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
        }
        QCOMPARE(order, QStringList({"Text1", "Text2", "Text3", "Command1", "Check1", "Command2",
                                     "Check2", "Command3"}));
    }

    // Set-up and the resume record: what is asked, where it starts, what it records.
    void resume_data() {
        QTest::addColumn<QByteArray>("record");  // null: no record file
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("start");
        const QString ask = Form2::ResumeQuestion;
        const QString err = Form2::InputError;
        QTest::newRow("none") << QByteArray() << Answers{} << QStringList{} << "1";
        QTest::newRow("5, Yes") << crlf("5") << Answers{Answer::Yes} << QStringList{ask} << "6";
        QTest::newRow("5, No") << crlf("5") << Answers{Answer::No} << QStringList{ask} << "1";
        QTest::newRow("0") << crlf("0") << Answers{} << QStringList{} << "1";
        QTest::newRow("one before the end") << crlf("11") << Answers{Answer::Yes}
                                            << QStringList{ask} << "12";
        QTest::newRow("at the end") << crlf("12") << Answers{Answer::Yes}
                                    << QStringList{ask, err} << "1";
        QTest::newRow("40 digits") << crlf(QString(40, u'9')) << Answers{Answer::Yes}
                                   << QStringList{ask, err} << "1";
        QTest::newRow("007") << crlf("007") << Answers{Answer::Yes} << QStringList{ask} << "8";
        QTest::newRow("LF only") << QByteArray("3\n") << Answers{Answer::Yes} << QStringList{ask}
                                 << "4";
        QTest::newRow("empty line") << crlf("") << Answers{} << QStringList{} << "1";
        QTest::newRow("empty file") << QByteArray("") << Answers{} << QStringList{} << "1";
        QTest::newRow("garbage") << crlf("-3x") << Answers{} << QStringList{} << "1";
    }
    void resume() {
        QFETCH(QByteArray, record);
        QFETCH(Answers, answers);
        QFETCH(QStringList, texts);
        QFETCH(QString, start);
        if (!record.isNull()) writeBytes(recordPath(), record);
        open(answers);
        QCOMPARE(m_dialogs.takeTexts(), texts);
        QCOMPARE(field()->text(), start);
        QCOMPARE(shownLabel(), labelFor(start.toInt()));
        QCOMPARE(readBytes(recordPath()), crlf(start));
    }

    void unwritableRecord_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("record.txt is a folder") << true;
        QTest::newRow("disk refuses to grow files") << false;
    }
    void unwritableRecord() {
        QFETCH(bool, folder);
        if (folder) {
            QVERIFY(QDir().mkpath(recordPath()));
        } else {
            writeBytes(recordPath(), crlf("5"));
            m_dialogs.answer(Answer::Yes);
        }
        // Files may not grow: every write fails as on a full disk.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved;
        none.rlim_cur = folder ? saved.rlim_cur : 0;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
        const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &saved); });
        for (int opening = 0; opening < 2; ++opening) {
            open();
            for (int i = 0; i < 3; ++i) click("Command1");
            QStringList texts = m_dialogs.takeTexts();
            if (!folder) QCOMPARE(texts.takeFirst(), Form2::ResumeQuestion);
            QCOMPARE(texts.size(), 1);  // once per opening, then quiet
            QVERIFY2(texts.first().startsWith(Form2::RecordError + recordPath() + u'\n'),
                     qPrintable(texts.first()));
            QCOMPARE(shownLabel(), labelFor(folder ? 4 : 9 - 5 * opening));
            if (!folder && opening == 0) m_dialogs.answer(Answer::No);
        }
        if (!folder) QCOMPARE(readBytes(recordPath()), crlf("5"));
    }

    // Next and Previous from every kind of field text.
    void navigation_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("rejected");
        const QString big = u'1' + QString(39, u'0');
        QTest::newRow("next wraps at the end") << 12 << "12" << true << "1" << false;
        QTest::newRow("next") << 12 << "4" << true << "5" << false;
        QTest::newRow("previous wraps at 1") << 12 << "1" << false << "12" << false;
        QTest::newRow("previous") << 12 << "4" << false << "3" << false;
        QTest::newRow("next, one question") << 1 << "1" << true << "1" << false;
        QTest::newRow("previous, one question") << 1 << "1" << false << "1" << false;
        QTest::newRow("next after 0") << 12 << "0" << true << "1" << false;
        QTest::newRow("previous after 0") << 12 << "0" << false << "12" << false;
        QTest::newRow("next after 20") << 12 << "20" << true << "1" << false;
        QTest::newRow("previous after 20") << 12 << "20" << false << "19" << true;
        QTest::newRow("previous after 13") << 12 << "13" << false << "12" << false;
        QTest::newRow("next on empty") << 12 << "" << true << "1" << false;
        QTest::newRow("previous on empty") << 12 << "" << false << "12" << false;
        QTest::newRow("next on pasted text") << 12 << "4a" << true << "1" << false;
        QTest::newRow("previous on pasted text") << 12 << "4a" << false << "12" << false;
        QTest::newRow("next on 007") << 12 << "007" << true << "8" << false;
        QTest::newRow("next on 40 digits") << 12 << big << true << "1" << false;
        QTest::newRow("previous on 40 digits") << 12 << big << false << QString(39, u'9') << true;
        QTest::newRow("next, empty paper") << 0 << "1" << true << "1" << true;
        QTest::newRow("previous, empty paper") << 0 << "1" << false << "0" << true;
    }
    void navigation() {
        QFETCH(int, count);
        QFETCH(QString, before);
        QFETCH(bool, next);
        QFETCH(QString, after);
        QFETCH(bool, rejected);
        m_bank = QuestionBank();
        fillPaper(count);
        open();
        field()->setText(before);
        const QString shownBefore = shownLabel();
        m_dialogs.takeTexts();
        click(next ? "Command1" : "Command3");
        QCOMPARE(field()->text(), after);
        QCOMPARE(m_dialogs.takeTexts(), rejected ? QStringList{Form2::InputError} : QStringList{});
        QCOMPARE(shownLabel(), rejected ? shownBefore : labelFor(after.toInt()));
        QCOMPARE(readBytes(recordPath()), crlf(after));
    }

    // One keystroke into the real field: the change runs, shows and records at once.
    void typing_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");  // null: the key was discarded
        QTest::addColumn<int>("shown");      // 0: the question shown before stays
        QTest::addColumn<QStringList>("texts");
        const QStringList none;
        const QStringList err{Form2::InputError};
        QTest::newRow("digit") << "1" << 1 << int(Qt::Key_2) << "2" << "12" << 12 << none;
        QTest::newRow("digit past the end") << "12" << 2 << int(Qt::Key_3) << "3" << "123" << 0
                                            << err;
        QTest::newRow("leading zeros") << "00" << 2 << int(Qt::Key_7) << "7" << "007" << 7 << none;
        QTest::newRow("keypad digit") << "" << 0 << int(Qt::Key_5) << "5" << "5" << 5 << none;
        QTest::newRow("backspace") << "12" << 2 << int(Qt::Key_Backspace) << "\b" << "1" << 1
                                   << none;
        QTest::newRow("backspace to empty") << "3" << 1 << int(Qt::Key_Backspace) << "\b" << ""
                                            << 0 << none;
        QTest::newRow("delete") << "12" << 0 << int(Qt::Key_Delete) << "\x7f" << "2" << 2 << none;
        QTest::newRow("arrow") << "12" << 2 << int(Qt::Key_Left) << "" << QString() << 0 << none;
        for (const char* c : {"a", "-", ".", " ", "+"}) {
            QTest::newRow(c) << "12" << 2 << int(QChar(c[0]).toUpper().unicode()) << c
                             << QString() << 0 << none;
        }
        QTest::newRow("enter") << "12" << 2 << int(Qt::Key_Return) << "\r" << QString() << 0 << none;
        QTest::newRow("escape") << "12" << 2 << int(Qt::Key_Escape) << "\x1b" << QString() << 0
                                << none;
    }
    void typing() {
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(int, shown);
        QFETCH(QStringList, texts);
        open();
        field()->setText(before);
        field()->setCursorPosition(cursor);
        const QString shownBefore = shownLabel();
        m_dialogs.takeTexts();
        writeBytes(recordPath(), "untouched");
        const auto modifiers = QTest::currentDataTag() == QByteArray("keypad digit")
                                   ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, field(), Qt::Key(key), typed, modifiers);
        QCOMPARE(m_dialogs.takeTexts(), texts);
        QCOMPARE(field()->text(), after.isNull() ? before : after);
        QCOMPARE(shownLabel(), shown ? labelFor(shown) : shownBefore);
        QCOMPARE(readBytes(recordPath()), after.isNull() ? QByteArray("untouched") : crlf(after));
    }

    void answerMode() {
        writePicture(m_values.LibDir + QStringLiteral("/LK0101.jpg"), {30, 20});
        open();
        const qint64 pictureKey = picture().cacheKey();
        QVERIFY(!picture().isNull());
        writeBytes(recordPath(), "untouched");
        auto* check = child<QCheckBox>("Check1");
        check->click();
        QCOMPARE(text("Text2"), QStringLiteral("[A]对1"));
        QCOMPARE(text("Text1"), QStringLiteral("问题1"));
        QCOMPARE(shownLabel(), labelFor(1));
        QCOMPARE(picture().cacheKey(), pictureKey);
        click("Command1");  // the mode holds for the next question
        QCOMPARE(text("Text2"), QStringLiteral("[A]对2"));
        field()->setText(QStringLiteral("30"));  // rejected: toggling then changes nothing
        check->click();
        QCOMPARE(text("Text2"), QStringLiteral("[A]对2"));
        field()->setText(QStringLiteral("2"));
        QCOMPARE(text("Text2"), QStringLiteral("[A]对2\n[B]错2\n[C]错2\n[D]错2"));
        m_dialogs.takeTexts();
    }

    // Position 1 has a picture; moving to position 2 shows what its entry gives.
    void pictures_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file");  // empty: none
        QTest::addColumn<QByteArray>("bytes");  // null: a real JPEG; "/": a folder
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("question");
        const QString q2 = QStringLiteral("问题2");
        QTest::newRow("none") << "LK0102" << "" << QByteArray() << false << labelFor(2) << q2;
        QTest::newRow("exact name") << "LK0102" << "LK0102.jpg" << QByteArray() << true
                                    << labelFor(2) << q2;
        QTest::newRow("upper case") << "LK0102" << "LK0102.JPG" << QByteArray() << true
                                    << labelFor(2) << q2;
        QTest::newRow("mixed case") << "LK0102" << "lk0102.Jpg" << QByteArray() << true
                                    << labelFor(2) << q2;
        QTest::newRow("undecodable") << "LK0102" << "LK0102.jpg" << QByteArray("not a jpeg")
                                     << false << labelFor(2) << q2;
        QTest::newRow("folder with the name") << "LK0102" << "LK0102.jpg" << QByteArray("/")
                                              << false << labelFor(2) << q2;
        QTest::newRow("leading zeros") << "LK00102" << "LK0102.jpg" << QByteArray() << false
                                       << labelFor(2) << q2;
        QTest::newRow("no question number") << "LKx12" << "LKx12.jpg" << QByteArray() << true
                                            << Form2::IdPrefix + "LKx12" << "";
        QTest::newRow("number past 2000") << "LK2001" << "" << QByteArray() << false
                                          << Form2::IdPrefix + "LK2001" << "";
    }
    void pictures() {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(QString, label);
        QFETCH(QString, question);
        QVERIFY(m_bank.PaperIds.set(1, entry));
        writePicture(m_values.LibDir + QStringLiteral("/LK0101.jpg"), {30, 20});
        const QString path = m_values.LibDir + u'/' + file;
        if (file.isEmpty()) {
            // nothing in the library under this entry
        } else if (bytes.isNull()) {
            writePicture(path, {40, 10});
        } else if (bytes == "/") {
            QVERIFY(QDir().mkpath(path));
        } else {
            writeBytes(path, bytes);
        }
        open();
        QCOMPARE(picture().size(), QSize(30, 20));
        click("Command1");
        QCOMPARE(picture().isNull(), !shown);
        if (shown) QCOMPARE(picture().size(), QSize(40, 10));
        QCOMPARE(shownLabel(), label);
        QCOMPARE(text("Text1"), question);
        QCOMPARE(text("Text2").isEmpty(), question.isEmpty());
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    void pictureFillsItsBox() {
        writePicture(m_values.LibDir + QStringLiteral("/LK0101.jpg"), {20, 60});
        open();
        const QImage box = child<QLabel>("Image1")->grab().toImage();
        QCOMPARE(box.size(), QSize(233, 193));
        for (const QPoint p : {QPoint(3, 3), QPoint(3, 189), QPoint(100, 96)}) {
            QVERIFY(box.pixelColor(p).red() > 200 && box.pixelColor(p).blue() < 60);
        }
        for (const QPoint p : {QPoint(229, 3), QPoint(229, 189), QPoint(133, 96)}) {
            QVERIFY(box.pixelColor(p).blue() > 200 && box.pixelColor(p).red() < 60);
        }
    }

    void randomOrder() {
        fillPaper(5);
        open();
        auto* previous = child<QPushButton>("Command3");
        click("Check2");
        QVERIFY(!previous->isEnabled());
        QCOMPARE(shownLabel(), labelFor(1));  // no draw until Next
        QSet<int> seen;
        for (int drawn : randomDraws(300)) {
            QVERIFY(drawn >= 1 && drawn <= 5);
            seen.insert(drawn);
        }
        QCOMPARE(seen.size(), 5);
        QCOMPARE(shownLabel(), labelFor(field()->text().toInt()));
        QCOMPARE(readBytes(recordPath()), crlf(field()->text()));
        click("Check2");
        QVERIFY(previous->isEnabled());
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    // The same draws in every run; a reopened window goes on with the sequence.
    void randomRepeats() {
        open();
        click("Check2");
        const QList<int> first = randomDraws(20);
        QVERIFY(QSet<int>(first.begin(), first.end()).size() > 3);
        m_form->close();
        open({Answer::No});
        click("Check2");
        const QList<int> second = randomDraws(20);
        RandomOrder fresh;
        QList<int> expected;
        for (int i = 0; i < 40; ++i) expected << fresh.draw(12);
        QCOMPARE(first + second, expected);
    }

    void drawBounds_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<float>("u");
        QTest::addColumn<int>("sequence");
        const float top = std::nextafter(1.0f, 0.0f);
        QTest::newRow("1, 0") << 1 << 0.0f << 1;
        QTest::newRow("1, top") << 1 << top << 1;
        QTest::newRow("2001, 0") << 2001 << 0.0f << 1;
        QTest::newRow("2001, top") << 2001 << top << 2001;
        QTest::newRow("1066, top") << 1066 << top << 1066;
        QTest::newRow("10, half") << 10 << 0.5f << 6;
        QTest::newRow("empty paper") << 0 << 0.5f << 1;
        QTest::newRow("u of 1") << 7 << 1.0f << 7;
    }
    void drawBounds() {
        QFETCH(int, count);
        QFETCH(float, u);
        QFETCH(int, sequence);
        QCOMPARE(RandomOrder::sequenceFor(count, u), sequence);
    }

    // The real main window reloads another level while the practice window is open.
    void reloadWhileOpen() {
        m_bank = QuestionBank();
        WindowRegistry windows;
        windows.setFactory(WindowRegistry::Window::Practice,
                           [&] { return new Form2(m_bank, m_values, m_dialogs, m_random); });
        Form1 main(m_bank, m_values, m_dialogs, windows, m_dir->path());
        main.show();
        copySampleLib(m_values.LibDir);
        auto* combo = main.findChild<QComboBox*>(QStringLiteral("Combo1"));
        combo->setCurrentIndex(2);
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        auto* form = qobject_cast<Form2*>(windows.find(WindowRegistry::Window::Practice));
        QVERIFY(form);
        const auto* label7 = form->findChild<QLabel*>(QStringLiteral("Label7"));
        QCOMPARE(label7->text(), QStringLiteral("（序号范围：1 - 26）"));

        combo->setCurrentIndex(0);
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
        QCOMPARE(m_bank.PaperCount, 15);
        m_dialogs.takeTexts();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
        const int q = questionNumber(m_bank.PaperIds.value(14)).value();
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("Label5"))->text(),
                 Form2::IdPrefix + m_bank.BankId.value(q));
        QCOMPARE(form->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText(),
                 m_bank.BankQuestion.value(q));
        QCOMPARE(label7->text(), QStringLiteral("（序号范围：1 - 26）"));
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("Label3"))->text(),
                 QStringLiteral("C类考试题库练习"));
        QVERIFY(m_dialogs.shown.isEmpty());

        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(!windows.find(WindowRegistry::Window::Practice));
        m_dialogs.answer(Answer::No);  // the next opening offers to resume after 15
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(m_dialogs.takeTexts(), QStringList{Form2::ResumeQuestion});
        delete windows.find(WindowRegistry::Window::Practice);
    }
};

QTEST_MAIN(PracticeTest)
#include "practice_test.moc"
