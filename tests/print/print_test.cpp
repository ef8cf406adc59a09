// SPDX-License-Identifier: GPL-3.0-or-later
// Papers and the notebook as PDF, read back through Poppler and qpdf: the
// text comes out as text in an embedded font, the key matches the draw, the
// pictures are images, a question is not cut by a page break, and a failed
// or cancelled write leaves no file.
#include "exam/exam_window.h"
#include "exam/notebook.h"
#include "exam/paper_pdf.h"
#include "exam/paper_printer.h"
#include "tests/exam/draw_tally.h"
#include "tests/support/fail_device.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"
#include "ui/save_files.h"

#include <poppler/qt6/poppler-qt6.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Chinese text of a few to many characters, different for every seed.
QString chinese(QRandomGenerator& random, int length) {
    static const QString pool = QStringLiteral(
        "业余无线电台操作证书考试频率功率天线发射接收信号波长电阻电容电感调制解调"
        "呼号执照管理规定设备干扰通信卫星短波超短波中继");
    QString text;
    for (int i = 0; i < length; ++i) text += pool[random.bounded(int(pool.size()))];
    return text;
}

// A JPEG of about the given size in bytes: grain keeps it from compressing.
QByteArray jpeg(QRandomGenerator& random, QSize size, int quality) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) line[x] = random.generate() | 0xff000000u;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

QString squeezed(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

struct ReadBack {
    std::unique_ptr<Poppler::Document> document;
    QStringList pages;     // each page's text, without white space
    QStringList rawPages;  // as Poppler gives it
    QList<int> images;     // image objects drawn on each page
};

ReadBack readBack(const QByteArray& pdf) {
    ReadBack back;
    back.document = Poppler::Document::loadFromData(pdf);
    if (!back.document) return back;
    for (int p = 0; p < back.document->numPages(); ++p) {
        const QString text = back.document->page(p)->text(QRectF());
        back.rawPages << text;
        back.pages << squeezed(text);
    }
    QPDF qpdf;
    qpdf.processMemoryFile("paper", pdf.constData(), size_t(pdf.size()));
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(qpdf).getAllPages())
        back.images << int(page.getImages().size());
    return back;
}

// The key page's lines "12. LK0012 AC" as number -> (identifier, letters).
QMap<int, QPair<QString, QString>> keyOf(const QString& text) {
    QMap<int, QPair<QString, QString>> key;
    static const QRegularExpression line(
        QStringLiteral("(\\d+)\\.\\s*([A-Z]{2}\\d?-?\\d{4})\\s*([A-D]+)"));
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        key.insert(m.captured(1).toInt(), {m.captured(2), m.captured(3)});
    }
    return key;
}

}  // namespace

class PrintTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // count questions; every third a multiple; the k-th of every `pictureEvery`
    // has a picture of pictureBytes (the first a damaged file, the second a
    // name the folder lacks, when hostile).
    QList<ExamQuestion> questions(int count, int pictureEvery, bool hostile, quint32 seed) {
        QRandomGenerator random(seed);
        QList<ExamQuestion> list;
        int pictures = 0;
        for (int i = 0; i < count; ++i) {
            ExamQuestion q;
            q.id = QStringLiteral("MC%1-%2").arg(1 + i % 3).arg(i + 1, 4, 10, QChar(u'0'));
            q.text = chinese(random, 12 + random.bounded(60)) + QString::number(i);
            for (int k = 0; k < 4; ++k) q.answers[k] = chinese(random, 3 + random.bounded(25));
            q.correct = i % 3 == 2 ? quint8(0b0101 + (i % 2) * 2) : quint8(1u << random.bounded(4));
            if (pictureEvery > 0 && i % pictureEvery == 1) {
                q.picture = m_dir.filePath(QStringLiteral("p%1-%2.jpg").arg(seed).arg(i));
                QByteArray bytes = jpeg(random, QSize(320 + 40 * (pictures % 9), 240), 90);
                if (hostile && pictures == 0) bytes = bytes.left(200);  // cut short: damaged
                writeBytes(q.picture, bytes);
                if (hostile && pictures == 1) {
                    q.missingPicture = QFileInfo(q.picture).fileName() + QStringLiteral("x");
                    q.picture.clear();
                }
                ++pictures;
            }
            list << q;
        }
        return list;
    }

    static PrintPaper paperOf(const QList<ExamQuestion>& all, const ExamRule& rule, quint32 seed) {
        ExamRandom random(seed);
        return {QStringLiteral("C类模拟试卷"),
                Edition::Y2025,
                zoma::printedRule(rule),
                QDate(2026, 12, 7),
                QStringLiteral("20261207-%1").arg(seed),
                zoma::drawExam(all, rule, random),
                {}};
    }

    static QByteArray written(const PaperPdf& pdf, const QList<PrintPaper>& papers) {
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QString error;
        if (!pdf.write(papers, out, {}, &error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return bytes;
    }

    // The layout of a paper as the writer makes it.
    static std::unique_ptr<PaperLayout> layoutOf(const PaperPdf& pdf, const PrintPaper& paper,
                                                 QPdfWriter& device) {
        PaperPdf::setUp(device);
        return std::make_unique<PaperLayout>(paper, pdf.pictures(), device);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTrip_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pictureEvery");
        QTest::addColumn<bool>("hostile");
        QTest::addColumn<int>("papers");
        // clang-format off
        QTest::newRow("40 without pictures")           << 40 << 0 << false << 1;
        QTest::newRow("30, pictures, two papers")      << 30 << 4 << false << 2;
        QTest::newRow("damaged and missing pictures")  << 20 << 3 << true  << 1;
        // clang-format on
    }

    void roundTrip() {
        QFETCH(int, count);
        QFETCH(int, pictureEvery);
        QFETCH(bool, hostile);
        QFETCH(int, papers);
        // Every question drawn, so that the bad pictures are on the paper.
        const QList<ExamQuestion> all = questions(count, pictureEvery, hostile, 7);
        const PaperKinds kinds = zoma::paperKinds(all);
        const ExamRule rule{kinds.singles, kinds.multiples, 60, count / 2};
        QList<PrintPaper> list;
        for (int k = 0; k < papers; ++k) list << paperOf(all, rule, quint32(11 + k));
        PaperPdf pdf;
        pdf.loadPictures(list);
        const ReadBack back = readBack(written(pdf, list));
        QVERIFY(back.document);

        // Every font is embedded: the text is text, not outlines or a font
        // the reader may lack.
        const QList<Poppler::FontInfo> fonts = back.document->fonts();
        QVERIFY(!fonts.isEmpty());
        for (const Poppler::FontInfo& font : fonts)
            QVERIFY2(font.isEmbedded(), qPrintable(font.name()));

        int firstPage = 0;
        for (const PrintPaper& paper : list) {
            QPdfWriter device(QStringLiteral("/dev/null"));
            const auto layout = layoutOf(pdf, paper, device);
            QCOMPARE(paper.questions.size(), count);
            int pictured = 0;
            for (int i = 0; i < count; ++i) {
                const ShownQuestion& q = paper.questions[i];
                QString pages;
                for (int p = layout->firstPage(i); p <= layout->lastPage(i); ++p)
                    pages += back.pages[firstPage + p];
                QString text = squeezed(QStringLiteral("%1. %2").arg(i + 1).arg(q.question.text));
                if (q.question.multiple()) text += QStringLiteral("（多选）");
                QVERIFY2(pages.contains(text), qPrintable(text));
                for (int k = 0; k < 4; ++k) {
                    const QString answer =
                        squeezed(QStringLiteral("%1. %2").arg(QChar(u'A' + k)).arg(q.answer(k)));
                    QVERIFY2(pages.contains(answer), qPrintable(answer));
                }
                if (!pdf.pictures().value(q.question.picture).isNull()) ++pictured;
            }
            // The pictures are images, one drawn for each question that has a good one.
            int images = 0;
            for (int p = 0; p < layout->sheetPage(); ++p) images += back.images[firstPage + p];
            QCOMPARE(images, pictured);

            // The answer sheet and the key stand on pages of their own, the
            // key matching the draw number by number.
            QVERIFY(
                back.pages[firstPage + layout->sheetPage()].startsWith(QStringLiteral("答题卡")));
            const QString keyText = back.rawPages[firstPage + layout->keyPage()];
            QVERIFY(squeezed(keyText).startsWith(QStringLiteral("参考答案")));
            QVERIFY(squeezed(keyText).contains(paper.number));
            QVERIFY(!squeezed(keyText).contains(squeezed(paper.questions[0].question.text)));
            const auto key = keyOf(keyText);
            QCOMPARE(key.size(), count);
            for (int i = 0; i < count; ++i) {
                const ShownQuestion& q = paper.questions[i];
                QCOMPARE(key.value(i + 1), qMakePair(q.question.id, zoma::letters(q.correct)));
            }
            firstPage += layout->pageCount();
        }
        QCOMPARE(firstPage, back.pages.size());

        // The bad pictures are named, each question once however many papers.
        if (hostile) {
            QCOMPARE(pdf.pictureProblems().size(), 2);
            const QString problems = pdf.pictureProblems().join(u'|');
            QVERIFY(problems.contains(all[1].id + QStringLiteral("（p7-1.jpg：")));
            QVERIFY(problems.contains(all[4].id + QStringLiteral("（") + all[4].missingPicture));
        } else {
            QCOMPARE(pdf.pictureProblems(), QStringList());
        }
    }

    // 90 questions with pictures, and one taller than a page: every question
    // that fits on a page stays on one, and Poppler finds each where the
    // layout put it.
    void pageBreaks() {
        QList<ExamQuestion> all = questions(90, 2, false, 23);
        QRandomGenerator random(5);
        all[41].text = chinese(random, 2700);  // with its picture, taller than a page
        const ExamRule rule{90, 0, 120, 60};
        PrintPaper paper = paperOf(all, rule, 3);
        paper.questions.clear();
        for (const ExamQuestion& q : all)
            paper.questions << ShownQuestion{q, {0, 1, 2, 3}, q.correct};
        PaperPdf pdf;
        pdf.loadPictures({paper});
        const ReadBack back = readBack(written(pdf, {paper}));
        QPdfWriter device(QStringLiteral("/dev/null"));
        const auto layout = layoutOf(pdf, paper, device);
        QVERIFY(layout->pageCount() > 10);
        for (int i = 0; i < 90; ++i) {
            if (i == 41) {
                QVERIFY(layout->lastPage(i) > layout->firstPage(i));
            } else {
                QCOMPARE(layout->lastPage(i), layout->firstPage(i));
            }
            const QString& first = back.pages[layout->firstPage(i)];
            const QString& last = back.pages[layout->lastPage(i)];
            QVERIFY(first.contains(
                squeezed(QStringLiteral("%1. %2").arg(i + 1).arg(all[i].text.left(20)))));
            QVERIFY(last.contains(squeezed(QStringLiteral("D. ") + all[i].answers[3])));
        }
    }

    void failures_data() {
        QTest::addColumn<qint64>("capacity");
        QTest::addColumn<int>("stopAfter");  // pages; 0: never
        QTest::addColumn<QString>("error");
        // clang-format off
        QTest::newRow("disk full at once")     << qint64(0)     << 0 << QStringLiteral("磁盘空间不足");
        QTest::newRow("disk full on the way")  << qint64(20000) << 0 << QStringLiteral("磁盘空间不足");
        QTest::newRow("cancelled")             << qint64(1) << 1 << QString();
        // clang-format on
    }

    // A failed or cancelled write through the save rules: the old file as it
    // was, no part file, and the disk's reason or nothing.
    void failures() {
        QFETCH(qint64, capacity);
        QFETCH(int, stopAfter);
        QFETCH(QString, error);
        const QList<PrintPaper> papers = {paperOf(questions(30, 3, false, 31), {20, 5, 60, 18}, 1)};
        PaperPdf pdf;
        pdf.loadPictures(papers);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("paper.pdf"));
        writeBytes(target, "old");
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::Yes);
        const zoma::SaveOutcome outcome = zoma::saveFiles(
            dialogs, {target},
            {PaperPrinter::OverwriteQuestion, PaperPrinter::CannotReplaceText,
             PaperPrinter::FailedText},
            [&](int, QIODevice& out, QString* why) {
                FailDevice full(capacity);
                QIODevice& device = stopAfter ? out : static_cast<QIODevice&>(full);
                return pdf.write(
                    papers, device,
                    [&](int done, int) { return stopAfter == 0 || done < stopAfter; }, why);
            });
        QCOMPARE(outcome, stopAfter ? zoma::SaveOutcome::Stopped : zoma::SaveOutcome::Failed);
        QCOMPARE(readBytes(target), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("paper.pdf")});
        const QStringList texts = dialogs.takeTexts();
        QCOMPARE(texts.size(), stopAfter ? 1 : 2);  // the overwrite question, then the failure
        if (!stopAfter) QCOMPARE(texts[1], PaperPrinter::FailedText + target + u'\n' + error);
    }

    // The header keeps "试卷编号：" with its number, and a question's
    // （多选） and （错N次） never run over two lines, wherever the text
    // ends: the questions' lengths sweep a whole line.
    void keptWhole_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("notebook");
        QTest::newRow("a paper") << zoma::printedRule({32, 8, 40, 30}) << false;
        QTest::newRow("the longest rule") << zoma::printedRule({2000, 2000, 600, 2000}) << false;
        QTest::newRow("a notebook") << QString() << true;
    }
    void keptWhole() {
        QFETCH(QString, rule);
        QFETCH(bool, notebook);
        constexpr int kCount = 60;
        PrintPaper paper{QStringLiteral("C类模拟试卷"),
                         Edition::Y2025,
                         rule,
                         QDate(2026, 12, 7),
                         QStringLiteral("20261207-12"),
                         {},
                         {}};
        for (int i = 0; i < kCount; ++i) {
            ExamQuestion q;
            q.id = QStringLiteral("MC2-%1").arg(i + 1, 4, 10, QChar(u'0'));
            q.text = QString(30 + i, QChar(u'电'));
            for (int k = 0; k < 4; ++k) q.answers[k] = QStringLiteral("答案");
            q.correct = 0b0011;
            paper.questions.append({q, {0, 1, 2, 3}, q.correct});
            if (notebook) paper.wrong << 1 + i % 12;
        }
        PaperPdf pdf;
        const ReadBack back = readBack(written(pdf, {paper}));
        QVERIFY(back.document);
        const QString text = back.rawPages.join(u'\n');
        QCOMPARE(text.count(QStringLiteral("（多选）")), kCount);
        if (notebook) {
            QCOMPARE(text.count(QRegularExpression(QStringLiteral("（错\\d+次）"))), kCount);
        }
        QVERIFY2(back.rawPages[0].contains(QStringLiteral("试卷编号：20261207-12")),
                 qPrintable(back.rawPages[0].left(200)));
    }

    // N papers at once: each its own draw by the rule, numbered in a row;
    // over many papers every question comes out in every slot of its kind,
    // and every answer under every letter, each about equally often.
    void manyPapers() {
        QList<ExamQuestion> all = questions(60, 0, false, 41);
        const ExamRule rule{10, 5, 30, 12};
        quint32 seed = 100;
        const QList<PrintPaper> papers =
            PaperPrinter::mockPapers({Edition::Y2025, all}, QStringLiteral("B类"), rule,
                                     QDate(2026, 12, 7), 4, 50, [&] { return seed++; });
        QCOMPARE(papers.size(), 50);
        QSet<QStringList> draws;
        for (int k = 0; k < 50; ++k) {
            const PrintPaper& paper = papers[k];
            QCOMPARE(paper.number, QStringLiteral("20261207-%1").arg(4 + k));
            QCOMPARE(paper.title, QStringLiteral("B类模拟试卷"));
            QCOMPARE(paper.rule, QStringLiteral("单选10题，多选5题，30分钟，12题合格"));
            QCOMPARE(zoma::paperKinds([&] {
                         QList<ExamQuestion> drawn;
                         for (const ShownQuestion& q : paper.questions) drawn << q.question;
                         return drawn;
                     }())
                         .multiples,
                     5);
            QStringList ids;
            for (const ShownQuestion& q : paper.questions) ids << q.question.id;
            draws.insert(ids);
        }
        QCOMPARE(draws.size(), 50);

        const QList<ExamQuestion> few = all.mid(0, 18);  // 12 singles, 6 multiples
        const ExamRule some{5, 2, 30, 6};
        const int count = 3000;
        Tally tally;
        draw_tally::expect(tally, few, some, count);
        for (const PrintPaper& paper :
             PaperPrinter::mockPapers({Edition::Y2025, few}, QStringLiteral("B类"), some,
                                      QDate(2026, 12, 7), 1, count, [&] { return seed++; }))
            draw_tally::count(tally, paper.questions);
        const QString unfair = tally.unfairness();
        QVERIFY2(unfair.isEmpty(), qPrintable(unfair));
    }

    // The exam window's buttons, through to the files in the program folder.
private:
    struct Window {
        QTemporaryDir dir;
        QuestionBank bank;
        SharedValues values;
        ScriptedDialogs dialogs;
        quint32 seeds = 1;
        std::unique_ptr<ReviewMemory> memory;
        std::unique_ptr<ExamWindow> window;

        explicit Window(int count) {
            values = programValues(dir.path());
            fillPaper(bank, count, [](int k) { return k; });
        }
        void open() {
            ExamEnvironment env{[] { return qint64(0); }, [this] { return seeds++; },
                                [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0)); }};
            memory = std::make_unique<ReviewMemory>(values.folder().appFile(ReviewLog::FileName));
            window = std::make_unique<ExamWindow>(bank, values, *memory, dialogs,
                                                  QStringLiteral("A类"), env);
            window->show();
            control<QSpinBox>(window.get(), "singles")->setValue(10);
            control<QSpinBox>(window.get(), "multiples")->setValue(0);
            dialogs.takeTexts();
        }
        QString appFile(const QString& name) const { return values.folder().appFile(name); }
    };

private slots:
    void printPapers_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("eachFile");
        QTest::addColumn<int>("taken");         // papers of today already in the folder
        QTest::addColumn<QList<int>>("files");  // the numbers of the files written
        // clang-format off
        QTest::newRow("one paper")                  << 1 << false << 0 << QList<int>{1};
        QTest::newRow("three in one file")          << 3 << false << 0 << QList<int>{1};
        QTest::newRow("three files, first taken")   << 3 << true  << 1 << QList<int>{2, 3, 4};
        // clang-format on
    }

    // Proposed in the program folder with the next free number, each paper
    // its own draw by the rule shown, its number on the paper and the key.
    void printPapers() {
        QFETCH(int, count);
        QFETCH(bool, eachFile);
        QFETCH(int, taken);
        QFETCH(QList<int>, files);
        Window w(40);
        const auto name = [](int n) {
            return QStringLiteral("A类模拟试卷-20261207-%1.pdf").arg(n);
        };
        for (int n = 1; n <= taken; ++n) writeBytes(w.appFile(name(n)), "old");
        w.open();
        control<QSpinBox>(w.window.get(), "printCount")->setValue(count);
        control<QCheckBox>(w.window.get(), "printEach")->setChecked(eachFile);
        w.dialogs.chooseFile(w.appFile(name(taken + 1)));
        click(w.window.get(), "printPapersButton");
        QVERIFY(w.dialogs.scriptDone());
        QCOMPARE(w.dialogs.fileRequests.last().proposedName, w.appFile(name(taken + 1)));
        QVERIFY(w.dialogs.fileRequests.last().save);
        QCOMPARE(w.dialogs.fileRequests.last().caption, QStringLiteral("打印试卷"));
        const QStringList texts = w.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(PaperPrinter::DoneText +
                                     QDir::toNativeSeparators(w.appFile(name(files[0])))),
                 qPrintable(texts[0]));
        for (int n = 1; n <= taken; ++n) QCOMPARE(readBytes(w.appFile(name(n))), QByteArray("old"));

        QSet<QStringList> draws;
        int paperNumber = taken + 1;
        for (int n : files) {
            const ReadBack back = readBack(readBytes(w.appFile(name(n))));
            QVERIFY(back.document);
            const int inFile = eachFile ? 1 : count;
            for (int k = 0; k < back.pages.size(); ++k) {
                if (!back.pages[k].startsWith(QStringLiteral("参考答案"))) continue;
                QVERIFY(back.pages[k].contains(
                    QStringLiteral("试卷编号：20261207-%1").arg(paperNumber++)));
                const auto key = keyOf(back.rawPages[k]);
                QCOMPARE(key.size(), 10);
                QStringList ids;
                for (const auto& entry : key) ids << entry.first;
                draws.insert(ids);
            }
            QCOMPARE(paperNumber, taken + 1 + (eachFile ? n - files[0] + 1 : inFile));
        }
        QCOMPARE(draws.size(), count);
        QCOMPARE(QDir(w.dir.path()).entryList({QStringLiteral("*.pdf")}).size(),
                 taken + int(files.size()));
    }

    // Prints one after another: each proposes the number after every one
    // given out that day, however the papers before were saved, and no
    // number is printed on two papers, in this window or the next.
    void numbersNeverReused_data() {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<bool>>("eachFile");
        QTest::addColumn<QList<int>>("savedAs");   // the number of the name chosen; 0: as proposed
        QTest::addColumn<QList<int>>("proposed");  // the number each print proposes
        // clang-format off
        QTest::newRow("three in one file, then three each")
            << QList<int>{3, 3} << QList<bool>{false, true} << QList<int>{0, 0} << QList<int>{1, 4};
        QTest::newRow("saved over an existing file")
            << QList<int>{1, 1, 1} << QList<bool>{false, false, false} << QList<int>{0, 1, 0}
            << QList<int>{1, 2, 3};
        // clang-format on
    }
    void numbersNeverReused() {
        QFETCH(QList<int>, counts);
        QFETCH(QList<bool>, eachFile);
        QFETCH(QList<int>, savedAs);
        QFETCH(QList<int>, proposed);
        Window w(40);
        const auto name = [&](int n) {
            return w.appFile(QStringLiteral("A类模拟试卷-20261207-%1.pdf").arg(n));
        };
        w.open();
        QList<int> printed;
        const auto readNumbers = [&](const QString& path) {
            const ReadBack back = readBack(readBytes(path));
            static const QRegularExpression number(
                QStringLiteral("参考答案.*试卷编号：20261207-(\\d+)"));
            for (const QString& page : back.pages) {
                const QRegularExpressionMatch m = number.match(page);
                if (m.hasMatch()) printed << m.captured(1).toInt();
            }
        };
        for (int i = 0; i < counts.size(); ++i) {
            control<QSpinBox>(w.window.get(), "printCount")->setValue(counts[i]);
            control<QCheckBox>(w.window.get(), "printEach")->setChecked(eachFile[i]);
            const QString target = name(savedAs[i] ? savedAs[i] : proposed[i]);
            if (QFileInfo::exists(target)) w.dialogs.answer(Dialogs::Answer::Yes);
            w.dialogs.chooseFile(target);
            click(w.window.get(), "printPapersButton");
            QCOMPARE(w.dialogs.fileRequests.last().proposedName, name(proposed[i]));
            QVERIFY(w.dialogs.scriptDone());
            w.dialogs.takeTexts();
            if (!eachFile[i] || counts[i] == 1) {
                readNumbers(target);
            } else {
                for (int k = 0; k < counts[i]; ++k) readNumbers(name(proposed[i] + k));
            }
        }
        int total = 0;
        for (int c : counts) total += c;
        QCOMPARE(printed.size(), total);
        QCOMPARE(QSet<int>(printed.begin(), printed.end()).size(), total);

        // The next window goes on from there.
        w.window.reset();
        w.open();
        const int next = *std::max_element(printed.begin(), printed.end()) + 1;
        control<QSpinBox>(w.window.get(), "printCount")->setValue(1);
        w.dialogs.chooseFile(QString());
        click(w.window.get(), "printPapersButton");
        QCOMPARE(w.dialogs.fileRequests.last().proposedName, name(next));
    }

    // 打印错题本: the notebook's questions of this paper, how often each went
    // wrong beside it, the key at the end.
    void printNotebook() {
        Window w(12);
        Notebook notebook(w.appFile(Notebook::FileName));
        notebook.answered(Edition::Earlier, QStringLiteral("LK0005"), false);
        notebook.answered(Edition::Earlier, QStringLiteral("LK0002"), false);
        notebook.answered(Edition::Earlier, QStringLiteral("LK0002"), false);
        notebook.answered(Edition::Earlier, QStringLiteral("LK0099"), false);  // not on this paper
        QString error;
        QVERIFY2(notebook.save(&error), qPrintable(error));
        w.open();
        const QString path = w.appFile(QStringLiteral("A类错题本-20261207-1.pdf"));
        w.dialogs.chooseFile(path);
        click(w.window.get(), "printNotebookButton");
        QCOMPARE(w.dialogs.fileRequests.last().proposedName, path);
        QVERIFY(w.dialogs.fileRequests.last().save);
        QCOMPARE(w.dialogs.fileRequests.last().caption, QStringLiteral("打印错题本"));
        const ReadBack back = readBack(readBytes(path));
        QVERIFY(back.document);
        QVERIFY(back.pages[0].contains(QStringLiteral("1.问题2（错2次）")));
        QVERIFY(back.pages[0].contains(QStringLiteral("2.问题5（错1次）")));
        const auto key = keyOf(back.rawPages.last());
        QCOMPARE(key.size(), 2);
        QCOMPARE(key.value(1).first, QStringLiteral("LK0002"));
        QCOMPARE(key.value(2).first, QStringLiteral("LK0005"));
    }

    // 取消 pressed as a screen reader presses it (the click lands a moment
    // later), on the first page or once the last is painted: no file, no
    // part file, no message, whatever the share already written.
    void cancelTaken_data() {
        QTest::addColumn<bool>("eachFile");
        QTest::addColumn<bool>("lastPage");
        QTest::newRow("first page") << false << false;
        QTest::newRow("last page") << false << true;
        QTest::newRow("last page of the last file") << true << true;
    }
    void cancelTaken() {
        QFETCH(bool, eachFile);
        QFETCH(bool, lastPage);
        Window w(40);
        w.open();
        control<QSpinBox>(w.window.get(), "printCount")->setValue(3);
        control<QCheckBox>(w.window.get(), "printEach")->setChecked(eachFile);
        bool pressed = false;
        QTimer watch;  // runs while the progress dialog lets events through
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* progress = w.window->findChild<QProgressDialog*>();
            if (pressed || !progress || !progress->isVisible() || progress->value() <= 0 ||
                (lastPage && progress->value() < progress->maximum()))
                return;
            pressed = true;
            QAccessible::queryAccessibleInterface(progress->findChild<QPushButton*>())
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
        });
        watch.start();
        w.dialogs.chooseFile(w.appFile(QStringLiteral("A类模拟试卷-20261207-1.pdf")));
        click(w.window.get(), "printPapersButton");
        watch.stop();
        QVERIFY(pressed);
        QCOMPARE(w.dialogs.takeTexts(), QStringList());
        QCOMPARE(QDir(w.dir.path())
                     .entryList({QStringLiteral("*.pdf"), QStringLiteral("*.part")},
                                QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // A damaged picture is left out and named; an unwritable folder and a
    // declined overwrite leave nothing behind.
    void printFaults() {
        Window w(10);
        writeBytes(w.values.folder().libDir() + QStringLiteral("/LK0003.jpg"), "not a picture");
        // A damaged record of the numbers is named and left as it was.
        const QString numbers = w.appFile(PaperNumbers::FileName);
        writeBytes(numbers, "20261207\tA类模拟试卷\tmany\r\n");
        w.open();
        const QString path = w.appFile(QStringLiteral("A类模拟试卷-20261207-1.pdf"));
        w.dialogs.chooseFile(path);
        click(w.window.get(), "printPapersButton");
        QStringList texts = w.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(PaperPrinter::PictureProblemsText +
                                   QStringLiteral("\nLK0003（LK0003.jpg：")),
                 qPrintable(texts[0]));
        QVERIFY2(texts[0].contains(PaperPrinter::NumbersNotKeptText +
                                   QDir::toNativeSeparators(numbers) + QStringLiteral("\n第1行")),
                 qPrintable(texts[0]));
        QCOMPARE(readBytes(numbers), QByteArray("20261207\tA类模拟试卷\tmany\r\n"));
        const QByteArray first = readBytes(path);

        w.dialogs.chooseFile(path);
        w.dialogs.answer(Dialogs::Answer::No);
        click(w.window.get(), "printPapersButton");
        QCOMPARE(w.dialogs.takeTexts(), QStringList{PaperPrinter::OverwriteQuestion});
        QCOMPARE(readBytes(path), first);

        // 取消 in the progress dialog: no file, no part file, no message.
        const QString cancelled = w.appFile(QStringLiteral("cancelled.pdf"));
        bool pressed = false;
        QTimer::singleShot(0, w.window.get(), [&] {
            auto* progress = w.window->findChild<QProgressDialog*>();
            if (progress) progress->cancel();
            pressed = progress != nullptr;
        });
        w.dialogs.chooseFile(cancelled);
        click(w.window.get(), "printPapersButton");
        QVERIFY(pressed);
        QVERIFY(!QFileInfo::exists(cancelled));
        QCOMPARE(w.dialogs.takeTexts(), QStringList());
        QCOMPARE(QDir(w.dir.path())
                     .entryList({QStringLiteral("*.pdf"), QStringLiteral("*.part")},
                                QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(path).fileName()});

        const QString blocked = w.dir.filePath(QStringLiteral("file/paper.pdf"));
        writeBytes(w.dir.filePath(QStringLiteral("file")), "x");
        w.dialogs.chooseFile(blocked);
        click(w.window.get(), "printPapersButton");
        texts = w.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(PaperPrinter::FailedText + blocked + u'\n'),
                 qPrintable(texts[0]));
        QVERIFY(w.dialogs.scriptDone());
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
