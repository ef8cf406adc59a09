// SPDX-License-Identifier: GPL-3.0-or-later
// The pages 题库浏览 and 学习进度 over a store, a memory replayed from known
// answers and an exam history, driven through their controls offscreen.

#include "exam/exam_rules.h"
#include "memory/favourites.h"
#include "study/bank_browser_page.h"
#include "study/bank_filter_model.h"
#include "study/bank_table_model.h"
#include "study/chapter_tree.h"
#include "study/day_heat_map.h"
#include "study/group_bars.h"
#include "study/progress_map.h"
#include "study/progress_page.h"
#include "study/score_chart.h"
#include "study/text_zoom.h"
#include "tests/study/study_bank.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolTip>

#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(12, 0));
const QString k2025 = QStringLiteral("2025");

ReviewEntry answer(int number, qint64 daysAgo, bool correct, Rating rating) {
    ReviewEntry e;
    e.when = zoma::logTime(kNow.addDays(-daysAgo));
    e.edition = k2025;
    e.id = studyId(number);
    e.source = QStringLiteral("review");
    e.chosen = correct ? QStringLiteral("A") : QStringLiteral("B");
    e.correct = correct;
    e.rating = rating;
    e.seconds = 5;
    return e;
}

// 7 never answered; 3 once (learning); 12 known today; 9 known long ago;
// 5 known and then forgotten (lapsed); 1 wrong twice, then learning. Answers
// to MC2-0999 and MC2-0040, which the bank does not have, are ignored.
QList<ReviewEntry> knownLog() {
    return {
        answer(3, 0, true, Rating::Good),     answer(12, 1, true, Rating::Easy),
        answer(9, 200, true, Rating::Easy),   answer(5, 30, true, Rating::Easy),
        answer(5, 2, false, Rating::Again),   answer(1, 3, false, Rating::Again),
        answer(1, 3, false, Rating::Again),   answer(999, 1, false, Rating::Again),
        answer(999, 1, false, Rating::Again), answer(999, 1, false, Rating::Again),
        answer(40, 0, false, Rating::Again),
    };
}

QAccessibleActionInterface* actions(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->actionInterface() : nullptr;
}

}  // namespace

class StudyPagesTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QuestionBank> m_bank;
    SharedValues m_values;
    MemoryState m_memory;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<Favourites> m_favourites;

    MemoryLookup lookup() {
        return [this](const QString& id) { return m_memory.find(id); };
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_bank = std::make_unique<QuestionBank>();
        fillStudyBank(*m_bank);
        m_values = programValues(m_dir.path());
        m_values.PracticeLevel = QStringLiteral("A类");
        m_memory.clear();
        m_memory.replay(knownLog(), k2025, {});
        QFile::remove(m_values.AppDir + Favourites::FileName);
        m_favourites = std::make_unique<Favourites>(m_values.AppDir + Favourites::FileName);
        zoma::loadFavourites(*m_favourites, m_dialogs);
        QVERIFY(m_dialogs.takeTexts().isEmpty());
    }

    // An answer counts on its local day, within the twelve weeks up to today.
    void answersPerDayEdges_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("daysAgo");  // -1: not counted
        const QDate first = kNow.date().addDays(-83);
        QTest::newRow("first day's midnight") << QDateTime(first, QTime(0, 0)) << 83;
        QTest::newRow("a second before it") << QDateTime(first, QTime(0, 0)).addSecs(-1) << -1;
        QTest::newRow("today's last second") << QDateTime(kNow.date(), QTime(23, 59, 59)) << 0;
        QTest::newRow("tomorrow's midnight")
            << QDateTime(kNow.date().addDays(1), QTime(0, 0)) << -1;
        QTest::newRow("yesterday's last second")
            << QDateTime(kNow.date(), QTime(0, 0)).addSecs(-1) << 1;
    }
    void answersPerDayEdges() {
        QFETCH(QDateTime, when);
        QFETCH(int, daysAgo);
        QuestionMemory memory;
        memory.answeredAt = {QDateTime(kNow.date().addDays(-200), QTime(9, 0)).toSecsSinceEpoch(),
                             when.toSecsSinceEpoch()};
        const MemoryLookup one = [&](const QString& id) {
            return id == studyId(3) ? &memory : nullptr;
        };
        const QMap<QDate, int> days =
            zoma::answersPerDay(*m_bank, zoma::bankRows(*m_bank), one, kNow.date(), 84);
        QMap<QDate, int> expected;
        if (daysAgo >= 0) expected.insert(kNow.date().addDays(-daysAgo), 1);
        QCOMPARE(days, expected);
    }

    // One row a question of the level; sorting any column keeps each row's
    // texts together.
    void model() {
        BankTableModel table(*m_bank, *m_favourites, lookup());
        QCOMPARE(table.rowCount(), 6);
        BankFilterModel filter(&table);
        for (int column = 0; column < BankTableModel::ColumnCount; ++column) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                filter.sort(column, order);
                QCOMPARE(filter.rowCount(), 6);
                QSet<QString> seen;
                for (int r = 0; r < filter.rowCount(); ++r) {
                    const QString id = filter.index(r, 0).data(BankTableModel::IdRole).toString();
                    const int q = *zoma::questionNumber(id);
                    QCOMPARE(filter.index(r, BankTableModel::Id).data().toString(), id);
                    QCOMPARE(filter.index(r, BankTableModel::Question).data().toString(),
                             m_bank->BankQuestion.value(q));
                    QCOMPARE(filter.index(r, BankTableModel::Chapter).data().toString(),
                             m_bank->Category.value(q));
                    seen.insert(id);
                }
                QCOMPARE(seen.size(), 6);
            }
        }
        // Chapters by number: 1.1.1 1.1.1 1.1.2 1.10.1 2.1.1 2.1.1.
        filter.sort(BankTableModel::Chapter, Qt::AscendingOrder);
        QCOMPARE(filter.index(3, BankTableModel::Id).data().toString(), studyId(12));
        // Most wrong first: 1 was wrong twice.
        filter.sort(BankTableModel::Wrong, Qt::DescendingOrder);
        QCOMPARE(filter.index(0, BankTableModel::Id).data().toString(), studyId(1));
        QCOMPARE(filter.index(0, BankTableModel::Wrong).data().toInt(), 2);
        QCOMPARE(filter.index(0, BankTableModel::State).data().toString(),
                 zoma::stateName(CardState::Learning));
        QCOMPARE(filter.index(0, BankTableModel::Key).data().toString(), QStringLiteral("ABCD"));
        // The store read again with another level: the rows follow it.
        fillStudyBank(*m_bank, kStudyQuestions.mid(0, 2));
        m_bank->PaperCount = 2;
        table.reload();
        QCOMPARE(filter.rowCount(), 2);
    }

    // Each question's square has the colour of its standing in the log.
    void mapColours() {
        ProgressPage page(*m_bank, m_values, lookup());
        page.setClock([] { return kNow; });
        page.resize(600, 800);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        ProgressMap* map = page.map();
        QCOMPARE(map->cells().size(), 6);  // the questions the bank no longer has are not in it
        const QHash<QString, StudyState> expected = {
            {studyId(7), StudyState::New},    {studyId(3), StudyState::Learning},
            {studyId(12), StudyState::Known}, {studyId(9), StudyState::Known},
            {studyId(5), StudyState::Lapsed}, {studyId(1), StudyState::Learning}};
        const QImage image = map->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        for (int i = 0; i < map->cells().size(); ++i) {
            const MapCell& cell = map->cells()[i];
            QCOMPARE(cell.standing.state, expected.value(cell.id));
            const QPoint centre = map->cellRect(i).center() * ratio;
            QCOMPARE(image.pixelColor(centre), zoma::standingColour(cell.standing));
            QCOMPARE(map->cellAt(map->cellRect(i).center()), i);
        }
        // Hovering names the question.
        const QPoint over = map->cellRect(0).center();
        QHelpEvent help(QEvent::ToolTip, over, map->mapToGlobal(over));
        QCoreApplication::sendEvent(map, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), studyId(7) + QStringLiteral(" 新题，还没有答过\n") +
                                       m_bank->BankQuestion.value(7));
        // Known a day ago is deep green; known 200 days ago has faded to pale.
        QVERIFY(map->cells()[2].standing.retrievability > 0.9);
        QVERIFY(zoma::standingColour(map->cells()[2].standing).green() < 0xa0);
        QCOMPARE(zoma::standingColour(map->cells()[4].standing), QColor(0xb8, 0xe6, 0xa0));
        // 2 of chapter 1 known or learning… counted per top chapter.
        const QList<GroupCounts> groups =
            zoma::groupCounts(*m_bank, zoma::bankRows(*m_bank), lookup(), kNow);
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0].name, QStringLiteral("1"));
        QCOMPARE((QList<int>{groups[0].fresh, groups[0].learning, groups[0].known}),
                 (QList<int>{1, 2, 1}));
        QCOMPARE((QList<int>{groups[1].fresh, groups[1].learning, groups[1].known}),
                 (QList<int>{0, 1, 1}));
        // Answers per day: only the level's questions, within twelve weeks.
        const QMap<QDate, int> days =
            zoma::answersPerDay(*m_bank, zoma::bankRows(*m_bank), lookup(), kNow.date(), 84);
        const QMap<QDate, int> expectedDays = {{kNow.date(), 1},
                                               {kNow.date().addDays(-1), 1},
                                               {kNow.date().addDays(-2), 1},
                                               {kNow.date().addDays(-3), 2},
                                               {kNow.date().addDays(-30), 1}};
        QCOMPARE(days, expectedDays);
        // The most wrong: 1 (twice), then 5; MC2-0999 (three times) is not the level's.
        auto* wrong = control<QListWidget>(&page, "mostWrongList");
        QCOMPARE(wrong->count(), 2);
        QCOMPARE(wrong->item(0)->data(Qt::UserRole).toString(), studyId(1));
        QCOMPARE(wrong->item(1)->data(Qt::UserRole).toString(), studyId(5));
    }

    // What a square's colour stands for, in words: the state as the legend
    // names it, the chance of recall now, and when the question is due.
    void standingWords_data() {
        QTest::addColumn<int>("state");  // -1: never answered
        QTest::addColumn<double>("stability");
        QTest::addColumn<QDateTime>("reviewed");
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<QString>("said");
        const QDateTime never;
        QTest::newRow("never answered")
            << -1 << 0.0 << never << never << QStringLiteral("MC2-0005 新题，还没有答过");
        // Just answered, recall is certain; after as many days as its
        // stability, it is 90 % by the stability's meaning.
        QTest::newRow("learning, due later today")
            << int(CardState::Learning) << 2.0 << kNow << QDateTime(kNow.date(), QTime(15, 30))
            << QStringLiteral("MC2-0005 学习中，记忆概率 100%，下次复习 今天 15:30");
        QTest::newRow("known, due this year")
            << int(CardState::Review) << 10.0 << kNow.addDays(-10)
            << QDateTime(QDate(2026, 12, 21), QTime(9, 0))
            << QStringLiteral("MC2-0005 已掌握，记忆概率 90%，下次复习 12-21");
        QTest::newRow("known, due next year")
            << int(CardState::Review) << 30.0 << kNow.addDays(-30)
            << QDateTime(QDate(2027, 1, 5), QTime(9, 0))
            << QStringLiteral("MC2-0005 已掌握，记忆概率 90%，下次复习 2027-01-05");
        QTest::newRow("lapsed and due")
            << int(CardState::Relearning) << 1.0 << kNow.addDays(-1) << kNow.addSecs(-3600)
            << QStringLiteral("MC2-0005 忘了重学，记忆概率 90%，已到期");
    }
    void standingWords() {
        QFETCH(int, state);
        QFETCH(double, stability);
        QFETCH(QDateTime, reviewed);
        QFETCH(QDateTime, due);
        QFETCH(QString, said);
        QuestionMemory memory;
        memory.card.state = CardState(state);
        memory.card.stability = stability;
        memory.card.difficulty = 5;
        memory.card.lastReview = reviewed.toUTC();
        memory.card.due = due.toUTC();
        QCOMPARE(zoma::standingText(studyId(5), state < 0 ? nullptr : &memory, kNow), said);
    }

    // The map to a screen reader: a list with an item a square, which says
    // what the square's tooltip and colour say and opens its question when
    // pressed; the keys move along the squares as the pointer does.
    void mapAccessible() {
        ProgressPage page(*m_bank, m_values, lookup());
        page.setClock([] { return kNow; });
        page.resize(600, 800);
        page.show();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        ProgressMap* map = page.map();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(map);
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("题目地图"));
        QCOMPARE(list->text(QAccessible::Description),
                 QStringLiteral("新题 1，学习中 2，已掌握 2，忘了重学 1"));
        QCOMPARE(list->childCount(), 6);
        const QMap<StudyState, QString> named = {{StudyState::New, QStringLiteral("新题")},
                                                 {StudyState::Learning, QStringLiteral("学习中")},
                                                 {StudyState::Known, QStringLiteral("已掌握")},
                                                 {StudyState::Lapsed, QStringLiteral("忘了重学")}};
        QSignalSpy opened(map, &ProgressMap::questionClicked);
        for (int i = 0; i < list->childCount(); ++i) {
            const MapCell& cell = map->cells()[i];
            QAccessibleInterface* item = list->child(i);
            QVERIFY(item && item->isValid());
            QCOMPARE(item->role(), QAccessible::ListItem);
            // The words name the state the colour shows.
            const QString said = item->text(QAccessible::Name);
            QCOMPARE(said, zoma::standingText(cell.id, m_memory.find(cell.id), kNow));
            QVERIFY2(said.startsWith(cell.id + u' ' + named.value(cell.standing.state)),
                     qPrintable(said));
            QCOMPARE(item->parent(), list);
            QCOMPARE(list->indexOfChild(item), i);
            QCOMPARE(list->child(i), item);  // the same item when asked again
            const QRect global(map->mapToGlobal(map->cellRect(i).topLeft()),
                               map->cellRect(i).size());
            QCOMPARE(item->rect(), global);
            QCOMPARE(list->childAt(global.center().x(), global.center().y()), item);
            QVERIFY(item->actionInterface());
            item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(opened.size(), i + 1);
            QCOMPARE(opened.last()[0].toString(), cell.id);
        }
        QVERIFY(list->child(6) == nullptr);

        // By the keys: the first square on focus, then along, Enter opens.
        map->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(map->hasFocus());
        QCOMPARE(map->current(), 0);
        QTest::keyClick(map, Qt::Key_Right);
        QTest::keyClick(map, Qt::Key_End);
        QTest::keyClick(map, Qt::Key_Left);
        QCOMPARE(map->current(), 4);
        QCOMPARE(list->focusChild(), list->child(4));
        QVERIFY(list->child(4)->state().focused);
        QTRY_VERIFY(QToolTip::text().startsWith(map->cells()[4].said + u'\n'));
        QTest::keyClick(map, Qt::Key_Return);
        QCOMPARE(opened.last()[0].toString(), map->cells()[4].id);
        // A new answer shows in the words at once; fewer squares, fewer items.
        m_memory.apply(answer(7, 0, true, Rating::Good), {});
        page.reload();
        QVERIFY(list->child(0)
                    ->text(QAccessible::Name)
                    .startsWith(studyId(7) + u' ' + QStringLiteral("学习中")));
    }

    // The calendar of answers says its totals and has a legend from 少 to 多.
    void dayHeatMap() {
        DayHeatMap days;
        const QDate today = kNow.date();
        days.setCounts({{today, 1},
                        {today.addDays(-3), 2},
                        {today.addDays(-4), 1},
                        {today.addDays(-200), 9}},  // before the twelve weeks
                       today);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&days);
        QCOMPARE(accessible->text(QAccessible::Description),
                 QStringLiteral("共答 4 题，答题 3 天，最多的一天 2026-12-04 答 2 题，今天 1 "
                                "题。颜色越深答题越多。"));
        days.resize(days.sizeHint());
        const QImage image = days.grab().toImage();
        // The legend's last step, under the calendar, is the colour of the busiest day.
        const QDate first = days.firstDay();
        const int pitch = days.dayRect(first.addDays(7)).left() - days.dayRect(first).left();
        const QPoint legendEnd =
            days.dayRect(first.addDays(6)).center() + QPoint(4 * pitch, pitch + 4);
        QVERIFY(legendEnd.y() < days.height());
        QCOMPARE(image.pixelColor(legendEnd * image.devicePixelRatio()), days.colour(2, 2));
        QCOMPARE(
            image.pixelColor(days.dayRect(today.addDays(-3)).center() * image.devicePixelRatio()),
            days.colour(2, 2));
    }

    // The exams of the level and edition, oldest first, against the pass mark
    // in force.
    void chart() {
        ExamHistory history(m_values.folder().appFile(ExamHistory::FileName));
        QString error;
        QVERIFY(history.load(&error));
        const QDateTime t1(QDate(2026, 11, 1), QTime(9, 0));
        const QDateTime t2(QDate(2026, 11, 20), QTime(9, 0));
        const QDateTime t3(QDate(2026, 12, 1), QTime(9, 0));
        const QString a = QStringLiteral("A类");
        QVERIFY(history.append({t2, a, Edition::Y2025, 40, 35, true, 600}, &error));
        QVERIFY(history.append({t1, a, Edition::Y2025, 40, 20, false, 900}, &error));
        QVERIFY(
            history.append({t3, QStringLiteral("B类"), Edition::Y2025, 60, 50, true, 1}, &error));
        QVERIFY(history.append({t3, a, Edition::Earlier, 30, 28, true, 1}, &error));
        ProgressPage page(*m_bank, m_values, lookup());
        page.setClock([] { return kNow; });
        ScoreChart* chart = page.chart();
        QCOMPARE(chart->points().size(), 2);
        QCOMPARE(chart->points()[0].when, t1);
        QCOMPARE(chart->points()[0].score, 20);
        QCOMPARE(chart->points()[1].score, 35);
        QCOMPARE(chart->passMark(), zoma::defaultRule(Edition::Y2025, a).passMark);
        QCOMPARE(chart->top(), 40);
        const QRectF area(10, 0, 100, 40);
        const QList<QPointF> at = zoma::chartPositions(chart->points(), area, 40);
        QCOMPARE(at, (QList<QPointF>{{10, 20}, {110, 5}}));
        QCOMPARE(zoma::chartPositions(chart->points().mid(0, 1), area, 40),
                 QList<QPointF>{QPointF(60, 20)});
        // A history that cannot be read: said in place of the chart.
        writeBytes(history.path(), "not a history line\n");
        page.reload();
        QVERIFY(chart->points().isEmpty());
    }

    // The road a user takes: search, choose a chapter and a question, star
    // it, keep to favourites, practise; the map and the list open questions
    // in the browser.
    void pages() {
        QWidget window;
        auto* browser =
            new BankBrowserPage(*m_bank, m_values, m_dialogs, *m_favourites, lookup(), &window);
        auto* progress = new ProgressPage(*m_bank, m_values, lookup(), &window);
        progress->setClock([] { return kNow; });
        connect(progress, &ProgressPage::openQuestion, browser, &BankBrowserPage::showQuestion);
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(browser);
        layout->addWidget(progress);
        window.resize(1400, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* search = control<QLineEdit>(browser, "searchBox");
        auto* count = control<QLabel>(browser, "shownCount");
        auto* table = control<QTableView>(browser, "bankTable");
        QCOMPARE(count->text(), QStringLiteral("6 / 6 题"));

        typeText(search, QStringLiteral("ｖｈｆ"));
        QCOMPARE(count->text(), QStringLiteral("1 / 6 题"));
        search->clear();
        typeText(search, QStringLiteral("业余 目的"));
        QCOMPARE(count->text(), QStringLiteral("1 / 6 题"));
        search->clear();

        auto* tree = control<ChapterTree>(browser, "chapterTree");
        const QList<QTreeWidgetItem*> found =
            tree->findItems(QStringLiteral("2.1.1"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0]->text(1), QStringLiteral("2"));
        tree->scrollToItem(found[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(found[0]).center());
        QCOMPARE(count->text(), QStringLiteral("2 / 6 题"));

        QTest::mouseClick(
            table->viewport(), Qt::LeftButton, {},
            table->visualRect(table->model()->index(1, BankTableModel::Question)).center());
        QCOMPARE(browser->currentId(), studyId(9));
        QVERIFY(control<QTextBrowser>(browser, "questionText")
                    ->toPlainText()
                    .contains(QStringLiteral("✔ [D]答案丁9")));

        // The star through its accessible press action, as a screen reader
        // presses it; then by its key.
        auto* star = control(browser, "starButton");
        QAccessibleActionInterface* press = actions(star);
        QVERIFY(press);
        press->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(m_favourites->contains(k2025, studyId(9)));  // an animated click
        QVERIFY(star->isChecked());
        QVERIFY(readBytes(m_favourites->path()).endsWith("2025\tMC2-0009\n"));
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 0));
        QCOMPARE(browser->currentId(), studyId(5));
        QTest::keyClick(table, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(m_favourites->contains(k2025, studyId(5)));

        tree->setCurrentItem(tree->topLevelItem(0));
        control<QCheckBox>(browser, "favouritesOnly")->click();
        QCOMPARE(count->text(), QStringLiteral("2 / 6 题"));
        table->sortByColumn(BankTableModel::Id, Qt::DescendingOrder);
        QSignalSpy practise(browser, &BankBrowserPage::practiseRequested);
        click(browser, "practiseButton");
        QCOMPARE(practise.size(), 1);
        QCOMPARE(practise[0][0].toStringList(), (QStringList{studyId(9), studyId(5)}));

        // A square of the map opens its question, clearing the filter that hid it.
        ProgressMap* map = progress->map();
        const int cell = 0;  // MC2-0007, not a favourite
        QTest::mouseClick(map, Qt::LeftButton, {}, map->cellRect(cell).center());
        QCOMPARE(browser->currentId(), studyId(7));
        QCOMPARE(count->text(), QStringLiteral("6 / 6 题"));
        auto* wrong = control<QListWidget>(progress, "mostWrongList");
        QTest::mouseClick(wrong->viewport(), Qt::LeftButton, {},
                          wrong->visualItemRect(wrong->item(1)).center());
        QCOMPARE(browser->currentId(), studyId(5));
        QVERIFY(m_dialogs.takeTexts().isEmpty());
    }

    // A row chosen through the table's accessible interface shows its
    // question below, as a click does; so does a cell's own action. The
    // picture there is named for a screen reader.
    void browserAccessible() {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(QDir().mkpath(m_values.LibDir));
        QVERIFY(picture.save(m_values.LibDir + QStringLiteral("/LK0944.png")));
        BankBrowserPage page(*m_bank, m_values, m_dialogs, *m_favourites, lookup());
        page.resize(800, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* table = control<QTableView>(&page, "bankTable");
        auto* detail = control<QTextBrowser>(&page, "questionText");
        auto* shown = control<QLabel>(&page, "questionPicture");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(table);
        QVERIFY(accessible && accessible->tableInterface());
        QAccessibleTableInterface* grid = accessible->tableInterface();
        const auto rowOf = [&](int number) {
            for (int r = 0; r < table->model()->rowCount(); ++r) {
                if (table->model()->index(r, 0).data(BankTableModel::IdRole) == studyId(number))
                    return r;
            }
            return -1;
        };
        for (const int number : {9, 3}) {
            QVERIFY(grid->selectRow(rowOf(number)));
            QCOMPARE(page.currentId(), studyId(number));
            QVERIFY(detail->toPlainText().contains(m_bank->BankQuestion.value(number)));
        }
        grid->selectRow(rowOf(9));
        QVERIFY(shown->isVisible());
        QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name),
                 QStringLiteral("MC2-0009 附图"));
        QAccessibleInterface* cell = grid->cellAt(rowOf(12), BankTableModel::Question);
        QVERIFY(cell && cell->actionInterface());
        QVERIFY(cell->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(page.currentId(), studyId(12));
        QVERIFY(detail->toPlainText().contains(m_bank->BankQuestion.value(12)));
        QVERIFY(!shown->isVisible());
    }

    // Favourites that cannot be read: one message, the file kept; that
    // cannot be written: one message for the window, however many stars.
    void favouriteFaults() {
        const QString path = m_values.AppDir + Favourites::FileName;
        writeBytes(path, "2025 MC2-0001\n");
        Favourites broken(path);
        zoma::loadFavourites(broken, m_dialogs);
        QStringList texts = m_dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].contains(QStringLiteral("收藏文件无法读取")));
        BankBrowserPage page(*m_bank, m_values, m_dialogs, broken, lookup());
        page.show();
        for (const QString& id : {studyId(3), studyId(12), studyId(3)}) {
            page.showQuestion(id);
            click(&page, "starButton");
        }
        texts = m_dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].contains(QStringLiteral("收藏无法写入文件")));
        QVERIFY(broken.contains(k2025, studyId(12)));
        QVERIFY(!broken.contains(k2025, studyId(3)));
        QCOMPARE(readBytes(path), QByteArray("2025 MC2-0001\n"));
    }

    // On a dark desktop the drawn texts are light: they take the palette's
    // colours, not black.
    void darkPalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        ScoreChart chart;
        chart.setPoints({}, 30);
        GroupBars bars;
        bars.setGroups({{QStringLiteral("1"), 0, 0, 0}});
        for (QWidget* w : {static_cast<QWidget*>(&chart), static_cast<QWidget*>(&bars)}) {
            w->setPalette(dark);
            w->setAutoFillBackground(true);
            w->resize(300, 150);
            const QImage image = w->grab().toImage();
            int light = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    light += image.pixelColor(x, y).lightness() > 200;
            }
            QVERIFY2(light > 20, qPrintable(w->objectName()));
        }
    }

    // Ctrl++ grows the text and the next window opens at that size.
    void textZoom() {
        const QString path = m_values.AppDir + TextZoom::FileName;
        QWidget window;
        auto* label = new QLabel(QStringLiteral("题目"), &window);
        const double base = window.font().pointSizeF();
        auto* zoom = new TextZoom(&window, path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(zoom->factor(), 1.2);
        QCOMPARE(label->font().pointSizeF(), base * 1.2);
        QCOMPARE(readBytes(path), QByteArray("text-zoom=1.2\n"));
        QWidget second;
        TextZoom again(&second, path);
        QCOMPARE(again.factor(), 1.2);
        QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(zoom->factor(), 1.1);
        QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(label->font().pointSizeF(), base);
        for (int i = 0; i < 30; ++i) zoom->zoomIn();
        QCOMPARE(zoom->factor(), TextZoom::MaxFactor);
        QCOMPARE(TextZoom::parse("text-zoom=nan\n"), 1.0);
        QCOMPARE(TextZoom::parse("text-zoom=0.1\n"), TextZoom::MinFactor);
        QCOMPARE(TextZoom::parse("\x01\x02"), 1.0);
    }
};

QTEST_MAIN(StudyPagesTest)
#include "study_pages_test.moc"
