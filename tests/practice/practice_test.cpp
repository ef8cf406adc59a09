// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/regular_file.h"
#include "practice/form2.h"
#include "tests/support/fairness.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = Dialogs::Answer;
using Answers = QList<Answer>;
Q_DECLARE_METATYPE(Dialogs::Answer)

namespace {

// Paper position k holds question 100 + k, so positions and numbers differ.
int questionAt(int k) {
    return 100 + k;
}
QString entryFor(int k) {
    return questionId(questionAt(k));
}
QString labelFor(int k) {
    return Form2::IdPrefix + entryFor(k);
}
QByteArray crlf(const QString& line) {
    return line.toLatin1() + "\r\n";
}

// Left half red, right half blue.
void writePicture(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width(), size.height(), Qt::blue);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path, "JPG"));
}

template <typename T>
T* find(QObject* window, const char* name) {
    return control<T>(window, name);
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
        m_bank = QuestionBank();
        ::fillPaper(m_bank, count, questionAt);
    }
    QString recordPath() const { return m_values.AppDir + Form2::RecordName; }
    void open(const Answers& answers = {}) {
        for (Answer a : answers) m_dialogs.answer(a);
        m_form = std::make_unique<Form2>(m_bank, m_values, m_dialogs, m_random);
        m_form->show();
    }
    QLineEdit* field() { return find<QLineEdit>(m_form.get(), "Text3"); }
    QString shown() { return find<QLabel>(m_form.get(), "Label5")->text(); }
    QString text(const char* name) {
        return find<QPlainTextEdit>(m_form.get(), name)->toPlainText();
    }
    QPixmap picture() { return find<QLabel>(m_form.get(), "Image1")->pixmap(); }
    void click(const char* name) { find<QAbstractButton>(m_form.get(), name)->click(); }
    QList<int> nextDraws(int n) {
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
        m_values = programValues(m_dir->path());
        m_values.PracticeLevel = QStringLiteral("C类");
        m_dialogs = ScriptedDialogs();
        m_random = RandomOrder();
        fillPaper(12);
    }
    void cleanup() {
        m_form.reset();
        QVERIFY(m_dialogs.scriptDone());
    }

    void resume_data() {
        QTest::addColumn<QByteArray>("record");  // null: no record file
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("start");
        const QString ask = Form2::ResumeQuestion;
        const Answers yes{Answer::Yes};
        QTest::newRow("none") << QByteArray() << Answers{} << QStringList{} << "1";
        QTest::newRow("5, Yes") << crlf("5") << yes << QStringList{ask} << "6";
        QTest::newRow("5, No") << crlf("5") << Answers{Answer::No} << QStringList{ask} << "1";
        QTest::newRow("0") << crlf("0") << Answers{} << QStringList{} << "1";
        QTest::newRow("last") << crlf("12") << yes << QStringList{ask, Form2::InputError} << "1";
        QTest::newRow("40 digits")
            << crlf(QString(40, u'9')) << yes << QStringList{ask, Form2::InputError} << "1";
        QTest::newRow("007") << crlf("007") << yes << QStringList{ask} << "8";
        QTest::newRow("empty line") << crlf("") << Answers{} << QStringList{} << "1";
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
        QCOMPARE(shown(), labelFor(start.toInt()));
        QCOMPARE(readBytes(recordPath()), crlf(start));
    }

    void navigation_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("rejected");
        const QString big = u'1' + QString(39, u'0');
        QTest::newRow("next wraps") << 12 << "12" << true << "1" << false;
        QTest::newRow("previous wraps") << 12 << "1" << false << "12" << false;
        QTest::newRow("previous after 0") << 12 << "0" << false << "12" << false;
        QTest::newRow("next after 20") << 12 << "20" << true << "1" << false;
        QTest::newRow("previous after 20") << 12 << "20" << false << "19" << true;
        QTest::newRow("next on empty") << 12 << "" << true << "1" << false;
        QTest::newRow("previous on pasted text") << 12 << "4a" << false << "12" << false;
        QTest::newRow("next on 007") << 12 << "007" << true << "8" << false;
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
        fillPaper(count);
        open();
        field()->setText(before);
        const QString shownBefore = shown();
        m_dialogs.takeTexts();
        click(next ? "Command1" : "Command3");
        QCOMPARE(field()->text(), after);
        QCOMPARE(m_dialogs.takeTexts(), rejected ? QStringList{Form2::InputError} : QStringList{});
        QCOMPARE(shown(), rejected ? shownBefore : labelFor(after.toInt()));
        QCOMPARE(readBytes(recordPath()), crlf(after));
    }

    // One keystroke into the real field, which shows and records at once.
    void typing_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");  // null: the key was discarded
        QTest::addColumn<int>("question");   // 0: the question shown before stays
        const int bs = Qt::Key_Backspace;
        // clang-format off
        QTest::newRow("digit") << "1" << 1 << int(Qt::Key_2) << "2" << "12" << 12;
        QTest::newRow("past the end") << "12" << 2 << int(Qt::Key_3) << "3" << "123" << 0;
        QTest::newRow("leading zeros") << "00" << 2 << int(Qt::Key_7) << "7" << "007" << 7;
        QTest::newRow("backspace") << "12" << 2 << bs << "\b" << "1" << 1;
        QTest::newRow("backspace to empty") << "3" << 1 << bs << "\b" << "" << 0;
        QTest::newRow("delete") << "12" << 0 << int(Qt::Key_Delete) << "\x7f" << "2" << 2;
        // clang-format on
        QTest::newRow("arrow") << "12" << 2 << int(Qt::Key_Left) << "" << QString() << 0;
        for (const char* c : {"a", "-", ".", " ", "\r"}) {
            const int key = *c == '\r' ? int(Qt::Key_Return) : QChar(*c).toUpper().unicode();
            QTest::newRow(*c == '\r' ? "enter" : c) << "12" << 2 << key << c << QString() << 0;
        }
    }
    void typing() {
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(int, question);
        open();
        field()->setText(before);
        field()->setCursorPosition(cursor);
        const QString shownBefore = shown();
        m_dialogs.takeTexts();
        writeBytes(recordPath(), "untouched");
        QTest::sendKeyEvent(QTest::Click, field(), Qt::Key(key), typed, Qt::NoModifier);
        const bool rejected = !after.isEmpty() && !question;
        QCOMPARE(m_dialogs.takeTexts(), rejected ? QStringList{Form2::InputError} : QStringList{});
        QCOMPARE(field()->text(), after.isNull() ? before : after);
        QCOMPARE(shown(), question ? labelFor(question) : shownBefore);
        QCOMPARE(readBytes(recordPath()), after.isNull() ? QByteArray("untouched") : crlf(after));
    }

    // A question of the 2025 edition between two earlier ones: its key is not
    // the first letter, its picture is its own file name in any case.
    void edition2025() {
        QVERIFY(m_bank.PaperIds.set(1, QStringLiteral("MC2-0102")) &&
                m_bank.BankId.set(102, QStringLiteral("MC2-0102")) &&
                m_bank.Keys.set(102, QStringLiteral("BD")) &&
                m_bank.Label.set(102, QStringLiteral("LK0103")) &&
                m_bank.Picture.set(102, QStringLiteral("LK0944.jpg")));
        writePicture(m_values.LibDir + QStringLiteral("/LK0101.jpg"), {30, 20});
        writePicture(m_values.LibDir + QStringLiteral("/lk0944.JPG"), {40, 10});
        writePicture(m_values.LibDir + QStringLiteral("/LK0103.jpg"), {50, 10});
        open();
        click("Command1");
        QCOMPARE(shown(), Form2::IdPrefix + QStringLiteral("MC2-0102"));
        QCOMPARE(text("Text2"), QStringLiteral("[A]对2\n[B]错2\n[C]错2\n[D]错2\n正确答案：BD"));
        QCOMPARE(picture().size(), QSize(40, 10));
        find<QCheckBox>(m_form.get(), "Check1")->click();
        QCOMPARE(text("Text2"), QStringLiteral("[B]错2\n[D]错2"));
        click("Command1");
        QCOMPARE(text("Text2"), QStringLiteral("[A]对3"));
        QCOMPARE(picture().size(), QSize(50, 10));
        find<QCheckBox>(m_form.get(), "Check1")->click();
        QCOMPARE(text("Text2"), QStringLiteral("[A]对3\n[B]错3\n[C]错3\n[D]错3"));
    }

    // A record or a picture that is no regular file, or far too large, is
    // never waited on: the record is reported and counts as none, the
    // picture box says why it stays empty.
    void unreadableFiles_data() {
        QTest::addColumn<QString>("file");  // below the program folder
        QTest::addColumn<QString>("kind");  // "fifo", "huge" or "->target"
        QTest::addColumn<QString>("reason");
        const QString picture = QStringLiteral("lib/LK0101.jpg");
        const QString notRegular = QStringLiteral("不是普通文件");
        const QString tooLarge = QStringLiteral("文件过大，超过 64 MB");
        QTest::newRow("record is a FIFO") << Form2::RecordName << "fifo" << notRegular;
        QTest::newRow("record too large") << Form2::RecordName << "huge" << tooLarge;
        QTest::newRow("picture is a FIFO") << picture << "fifo" << notRegular;
        QTest::newRow("picture links to /dev/zero") << picture << "->/dev/zero" << notRegular;
        QTest::newRow("picture too large") << picture << "huge" << tooLarge;
    }
    void unreadableFiles() {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = m_values.AppDir + file;
        QDir().mkpath(m_values.LibDir);
        if (kind == u"fifo") {
            if (!makeFifo(path)) QSKIP(kNoSpecialFiles);
        } else if (kind == u"huge") {
            writeBytes(path, {});
            QVERIFY(QFile::resize(path, kMaxFileSize + 1));
        } else if (!makeSymlink(kind.mid(2), path)) {
            QSKIP(kNoSpecialFiles);
        }
        open();
        const bool record = file == Form2::RecordName;
        QCOMPARE(
            m_dialogs.takeTexts(),
            record ? QStringList{Form2::RecordReadError + path + u'\n' + reason} : QStringList{});
        QCOMPARE(field()->text(), QStringLiteral("1"));
        QCOMPARE(shown(), labelFor(1));
        QCOMPARE(
            find<QLabel>(m_form.get(), "Image1")->text(),
            record ? QString() : Form2::PictureError + QStringLiteral("LK0101.jpg，") + reason);
        if (record) QCOMPARE(readBytes(recordPath()), crlf("1"));
    }

    // Position 1 has a picture; Next moves to position 2, holding the entry.
    void pictures_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file");      // empty: none
        QTest::addColumn<QByteArray>("bytes");  // null: a JPEG; "/": a folder
        QTest::addColumn<bool>("picture");
        QTest::addColumn<QString>("question");
        const QString q2 = QStringLiteral("问题2");
        // clang-format off
        QTest::newRow("none") << "LK0102" << "" << QByteArray() << false << q2;
        QTest::newRow("exact name") << "LK0102" << "LK0102.jpg" << QByteArray() << true << q2;
        QTest::newRow("upper case") << "LK0102" << "LK0102.JPG" << QByteArray() << true << q2;
        QTest::newRow("mixed case") << "LK0102" << "lk0102.Jpg" << QByteArray() << true << q2;
        QTest::newRow("undecodable") << "LK0102" << "LK0102.jpg" << QByteArray("x") << false << q2;
        QTest::newRow("folder") << "LK0102" << "LK0102.jpg" << QByteArray("/") << false << q2;
        QTest::newRow("leading zeros") << "LK00102" << "LK0102.jpg" << QByteArray() << false << q2;
        QTest::newRow("no number") << "LKx12" << "LKx12.jpg" << QByteArray() << true << "";
        QTest::newRow("past 2000") << "LK2001" << "" << QByteArray() << false << "";
        // clang-format on
    }
    void pictures() {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, picture);
        QFETCH(QString, question);
        QVERIFY(m_bank.PaperIds.set(1, entry));
        writePicture(m_values.LibDir + QStringLiteral("/LK0101.jpg"), {30, 20});
        const QString path = m_values.LibDir + u'/' + file;
        if (!file.isEmpty() && bytes.isNull()) writePicture(path, {40, 10});
        if (bytes == "/") QVERIFY(QDir().mkpath(path));
        if (!bytes.isNull() && bytes != "/") writeBytes(path, bytes);
        open();
        QCOMPARE(this->picture().size(), QSize(30, 20));
        click("Command1");
        QCOMPARE(this->picture().size(), picture ? QSize(40, 10) : QSize(0, 0));
        QCOMPARE(shown(), question.isEmpty() ? Form2::IdPrefix + entry : labelFor(2));
        QCOMPARE(text("Text1"), question);
        QCOMPARE(text("Text2").isEmpty(), question.isEmpty());
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    // Fresh generators draw alike; a reopened window goes on with the sequence.
    void randomRepeats() {
        QList<int> draws;
        for (const Answers& answers : {Answers{}, Answers{Answer::No}}) {
            open(answers);
            click("Check2");
            draws += nextDraws(20);
        }
        RandomOrder fresh;
        QList<int> expected;
        for (int i = 0; i < 40; ++i) expected << fresh.draw(12);
        QCOMPARE(draws, expected);
        QVERIFY(QSet<int>(draws.begin(), draws.end()).size() > 6);
    }

    // Over many seeds random order reaches every question of the paper, the
    // first and the last included, each about equally often.
    void drawFairness_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("seeds");
        QTest::addColumn<int>("draws");  // per seed
        QTest::newRow("one question") << 1 << 10 << 10;
        QTest::newRow("two") << 2 << 500 << 4;
        QTest::newRow("a short paper") << 12 << 1000 << 12;
        QTest::newRow("the largest paper") << 2001 << 2000 << 100;
    }
    void drawFairness() {
        QFETCH(int, count);
        QFETCH(int, seeds);
        QFETCH(int, draws);
        Tally tally;
        for (int k = 1; k <= count; ++k)
            tally.expect(QString::number(k), double(seeds) * draws / count);
        for (int seed = 1; seed <= seeds; ++seed) {
            RandomOrder random{quint32(seed)};
            for (int i = 0; i < draws; ++i) tally.count(QString::number(random.draw(count)));
        }
        const QString unfair = tally.unfairness();
        QVERIFY2(unfair.isEmpty(), qPrintable(unfair));
    }

    // Whatever bits the generator gives, the value stays below 1 and the draw
    // on the paper.
    void drawBounds_data() {
        QTest::addColumn<quint32>("bits");
        QTest::addColumn<int>("count");
        for (const quint32 bits : {0u, 0x7FFFFFFFu, 0xFFFFFF00u, 0xFFFFFFFFu}) {
            for (const int count : {1, 12, 2001}) {
                QTest::addRow("%08x, %d", bits, count) << bits << count;
            }
        }
    }
    void drawBounds() {
        QFETCH(quint32, bits);
        QFETCH(int, count);
        const float u = RandomOrder::unitFrom(bits);
        QVERIFY2(u >= 0.0f && u < 1.0f, qPrintable(QString::number(double(u), 'g', 10)));
        const int sequence = RandomOrder::sequenceFor(count, u);
        QVERIFY(sequence >= 1 && sequence <= count);
        if (bits == 0xFFFFFFFFu) QCOMPARE(sequence, count);
        QCOMPARE(RandomOrder::sequenceFor(0, u), 1);  // an empty paper
    }

    // Select all, copy, cut and paste work in the sequence field; what is
    // pasted is taken as typed.
    void clipboardKeys() {
        open();
        QLineEdit* f = field();
        f->setText(QStringLiteral("12"));
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(f->selectedText(), QStringLiteral("12"));
        QTest::keyClick(f, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12"));
        QTest::keyClick(f, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f->text(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("7"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->text(), QStringLiteral("7"));
        QCOMPARE(shown(), labelFor(7));
        QCOMPARE(readBytes(recordPath()), crlf("7"));
        QVERIFY(m_dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(PracticeTest)
#include "practice_test.moc"
