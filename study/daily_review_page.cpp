// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/daily_review_page.h"

#include "common/text_file.h"
#include "memory/favourites.h"
#include "memory/pass_chance.h"
#include "memory/progress_csv.h"
#include "ui/picture.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

const QString DailyReviewPage::ChanceMethod = QStringLiteral(
    "按考试规则随机抽题（单选、多选分开，不重复）：每题答对的概率 = 记住的概率 R（没学过的题为 "
    "0）+ (1 − R) × 猜对的概率（单选 1/4，多选 1/15），由此精确计算合格的概率。");

const zoma::SaveTexts DailyReviewPage::ExportTexts = {QStringLiteral("文件已经存在，是否覆盖？"),
                                                      QStringLiteral("无法覆盖已有文件："),
                                                      QStringLiteral("导出失败：")};

namespace {

constexpr QSize kPictureBox(360, 240);
const QString kMultipleTag = QStringLiteral("（多选）");
const QString kSource = QStringLiteral("review");
// "练习所选": asked the same way, told apart in the log.
const QString kPracticeSource = QStringLiteral("browse");
// An exam date's questions are taken as they stand on the morning of the exam.
const QTime kExamTime(9, 0);
constexpr int kIssuesNamed = 5;

const Rating kRatings[4] = {Rating::Again, Rating::Hard, Rating::Good, Rating::Easy};
const char* const kRatingNames[4] = {"ratingAgain", "ratingHard", "ratingGood", "ratingEasy"};
const QString kRatingTexts[4] = {QStringLiteral("重来"), QStringLiteral("困难"),
                                 QStringLiteral("良好"), QStringLiteral("简单")};

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QString timeText(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

int ratingIndex(Rating rating) {
    return int(rating) - 1;
}

}  // namespace

StudyEnvironment StudyEnvironment::system() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return {&QDateTime::currentDateTime, [timer] { return timer->elapsed(); },
            [] { return QRandomGenerator::system()->generate(); }};
}

DailyReviewPage::DailyReviewPage(ExamPaper paper, QList<LevelQuestion> level,
                                 const QString& levelName, const SharedValues& values,
                                 ReviewMemory& memory, Dialogs& dialogs,
                                 StudyEnvironment environment, const Favourites* favourites,
                                 QWidget* parent)
    : QWidget(parent),
      m_paper(std::move(paper)),
      m_levelName(levelName),
      m_editionLevel(zoma::editionKey(m_paper.edition) + u'-' + zoma::levelKey(levelName)),
      m_dialogs(dialogs),
      m_env(std::move(environment)),
      m_random(m_env.seed()),
      m_settings(values.folder().appFile(StudySettings::FileName)),
      m_recorder(memory, dialogs),
      m_favourites(favourites),
      m_memory(memory) {
    setObjectName(QStringLiteral("dailyReviewPage"));
    for (int i = 0; i < m_paper.questions.size(); ++i) m_byId.insert(m_paper.questions[i].id, i);
    // Only what can be asked: a question without a key is not on the exam's paper.
    for (LevelQuestion& q : level) {
        if (m_byId.contains(q.id)) m_level.append(std::move(q));
    }

    QString error;
    if (!m_settings.load(&error)) {
        m_dialogs.message(QStringLiteral("学习设置无法读取，使用默认设置，本次不会改写：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_settings.path()), error));
        m_settingsReported = true;
    }
    // The real exam's rule, not one shortened on the exam window's start page for practice.
    m_rule = zoma::defaultRule(m_paper.edition, m_levelName);

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    outer->addLayout(left, 1);
    m_header = new QLabel(QStringLiteral("%1　今日复习　题库版本：%2　共%3题")
                              .arg(m_levelName, zoma::editionTitle(m_paper.edition))
                              .arg(m_level.size()));
    m_header->setObjectName(QStringLiteral("header"));
    left->addWidget(m_header);
    m_counts = new QLabel;
    m_counts->setObjectName(QStringLiteral("counts"));
    left->addWidget(m_counts);
    m_practiceBar = new QWidget;
    m_practiceBar->setObjectName(QStringLiteral("practiceBar"));
    auto* practiceRow = new QHBoxLayout(m_practiceBar);
    practiceRow->setContentsMargins(0, 0, 0, 0);
    m_practiceNote = new QLabel;
    m_practiceNote->setObjectName(QStringLiteral("practiceNote"));
    auto* stop = button(QStringLiteral("停止练习所选"), "stopPractice", m_practiceBar);
    stop->setToolTip(QStringLiteral("回到今天的复习"));
    practiceRow->addWidget(m_practiceNote);
    practiceRow->addWidget(stop);
    practiceRow->addStretch();
    m_practiceBar->setVisible(false);
    left->addWidget(m_practiceBar);
    connect(stop, &QPushButton::clicked, this, &DailyReviewPage::stopPractice);
    buildQuestionArea(left);
    outer->addWidget(buildSidePanel());

    m_chanceTimer = new QTimer(this);
    m_chanceTimer->setSingleShot(true);
    // After an answer the next question shows first; the chance follows at once after.
    m_chanceTimer->setInterval(0);
    connect(m_chanceTimer, &QTimer::timeout, this, &DailyReviewPage::showChance);
    applyFonts();
    m_dueTimer = new QTimer(this);
    m_dueTimer->setSingleShot(true);
    connect(m_dueTimer, &QTimer::timeout, this, &DailyReviewPage::refresh);

    loadLog();
    replay();
    rebuildQueue();
    showExamNote();
    askNext();
    showChance();
    connect(&m_memory, &ReviewMemory::recorded, this, &DailyReviewPage::recordedElsewhere);
}

DailyReviewPage::~DailyReviewPage() = default;

void DailyReviewPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) applyFonts();
    QWidget::changeEvent(event);
}

void DailyReviewPage::applyFonts() {
    QFont bold = font();
    bold.setBold(true);
    m_counts->setFont(bold);
    m_practiceNote->setFont(bold);
    QFont bigger = font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.2);
    m_questionText->setFont(bigger);
    for (QLabel* answer : m_answers) {
        // A correct answer shown stays bold.
        bigger.setBold(answer->font().bold());
        answer->setFont(bigger);
    }
}

void DailyReviewPage::buildQuestionArea(QLayout* into) {
    m_askArea = new QWidget;
    m_askArea->setObjectName(QStringLiteral("questionArea"));
    // The area holds the focus, so that its keys act and Tab leads on to the settings.
    m_askArea->setFocusPolicy(Qt::StrongFocus);
    m_askArea->setAccessibleName(QStringLiteral("试题"));
    auto* layout = new QVBoxLayout(m_askArea);
    layout->setContentsMargins(0, 0, 0, 0);

    m_progress = new QLabel;
    m_progress->setObjectName(QStringLiteral("progress"));
    layout->addWidget(m_progress);
    m_questionText = new QLabel;
    m_questionText->setObjectName(QStringLiteral("questionText"));
    m_questionText->setWordWrap(true);
    m_questionText->setTextFormat(Qt::PlainText);
    layout->addWidget(m_questionText);
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_picture);

    auto* answers = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        const QChar letter(u'A' + i);
        m_letters[i] = button(QString(letter), "", m_askArea);
        m_letters[i]->setObjectName(QStringLiteral("letter%1").arg(letter));
        m_letters[i]->setCheckable(true);
        m_letters[i]->setFixedWidth(40);
        m_letters[i]->setFocusPolicy(Qt::NoFocus);
        m_letters[i]->setAccessibleName(QStringLiteral("选 %1").arg(letter));
        m_answers[i] = new QLabel;
        m_answers[i]->setObjectName(QStringLiteral("answer%1").arg(letter));
        m_answers[i]->setWordWrap(true);
        m_answers[i]->setTextFormat(Qt::PlainText);
        m_answers[i]->setBuddy(m_letters[i]);
        answers->addWidget(m_letters[i], i, 0, Qt::AlignTop);
        answers->addWidget(m_answers[i], i, 1);
        connect(m_letters[i], &QPushButton::clicked, this, [this, i] { choose(i); });
    }
    answers->setColumnStretch(1, 1);
    layout->addLayout(answers);

    m_feedback = new QLabel;
    m_feedback->setObjectName(QStringLiteral("feedback"));
    m_feedback->setWordWrap(true);
    layout->addWidget(m_feedback);

    auto* rates = new QHBoxLayout;
    m_ratingLabel = new QLabel(QStringLiteral("评分："));
    m_ratingLabel->setObjectName(QStringLiteral("ratingLabel"));
    rates->addWidget(m_ratingLabel);
    for (int i = 0; i < 4; ++i) {
        m_ratings[i] = button(QStringLiteral("%1 %2").arg(i + 1).arg(kRatingTexts[i]),
                              kRatingNames[i], m_askArea);
        m_ratings[i]->setCheckable(true);
        m_ratings[i]->setFocusPolicy(Qt::NoFocus);
        m_ratings[i]->setAccessibleName(kRatingTexts[i]);
        m_ratings[i]->setAccessibleDescription(
            QStringLiteral("答对后评分 %1（按 %1 键）").arg(i + 1));
        rates->addWidget(m_ratings[i]);
        connect(m_ratings[i], &QPushButton::clicked, this, [this, i] { rate(kRatings[i]); });
    }
    rates->addStretch();
    m_confirm = button(QStringLiteral("确定"), "confirmButton", m_askArea);
    m_next = button(QStringLiteral("下一题"), "nextButton", m_askArea);
    for (QPushButton* b : {m_confirm, m_next}) b->setFocusPolicy(Qt::NoFocus);
    rates->addWidget(m_confirm);
    rates->addWidget(m_next);
    layout->addLayout(rates);
    connect(m_confirm, &QPushButton::clicked, this, &DailyReviewPage::confirm);
    connect(m_next, &QPushButton::clicked, this, &DailyReviewPage::next);

    m_doneNote = new QLabel;
    m_doneNote->setObjectName(QStringLiteral("doneNote"));
    m_doneNote->setWordWrap(true);
    layout->addWidget(m_doneNote);
    layout->addStretch();
    into->addWidget(m_askArea);

    for (int i = 0; i < 4; ++i) {
        addKey(QKeySequence(Qt::Key_1 + i), [this, i] { digit(i); });
        addKey(QKeySequence(Qt::Key_A + i), [this, i] { choose(i); });
    }
    addKey(QKeySequence(Qt::Key_Return), [this] { confirm(); });
    addKey(QKeySequence(Qt::Key_Enter), [this] { confirm(); });
    addKey(QKeySequence(Qt::Key_Space), [this] {
        if (m_stage == Stage::Revealed) next();
    });
}

void DailyReviewPage::addKey(const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QShortcut(key, m_askArea);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
}

QWidget* DailyReviewPage::buildSidePanel() {
    auto* panel = new QWidget;
    panel->setMaximumWidth(340);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* chance = new QGroupBox(QStringLiteral("合格的可能"));
    auto* chanceLayout = new QVBoxLayout(chance);
    m_chanceText = new QLabel;
    m_chanceText->setObjectName(QStringLiteral("chance"));
    m_chanceText->setWordWrap(true);
    chanceLayout->addWidget(m_chanceText);
    QString rule = QStringLiteral("按%1、%2 版题库的正式考试规则计算：单选 %3 题")
                       .arg(m_levelName, zoma::editionTitle(m_paper.edition))
                       .arg(m_rule.singles);
    if (m_rule.multiples > 0) rule += QStringLiteral("，多选 %1 题").arg(m_rule.multiples);
    rule += QStringLiteral("，答对 %1 题合格。").arg(m_rule.passMark);
    auto* ruleText = new QLabel(rule);
    ruleText->setObjectName(QStringLiteral("chanceRule"));
    ruleText->setWordWrap(true);
    chanceLayout->addWidget(ruleText);
    auto* method = new QLabel(ChanceMethod);
    method->setObjectName(QStringLiteral("chanceMethod"));
    method->setWordWrap(true);
    chanceLayout->addWidget(method);
    layout->addWidget(chance);

    auto* settings = new QGroupBox(QStringLiteral("设置"));
    auto* settingsLayout = new QVBoxLayout(settings);
    auto* form = new QFormLayout;
    settingsLayout->addLayout(form);
    m_newPerDay = new QSpinBox;
    m_newPerDay->setObjectName(QStringLiteral("newPerDay"));
    m_newPerDay->setRange(0, StudySettings::MaxNewPerDay);
    m_newPerDay->setValue(m_settings.newPerDay());
    form->addRow(QStringLiteral("每天新题："), m_newPerDay);
    m_retention = new QDoubleSpinBox;
    m_retention->setObjectName(QStringLiteral("retention"));
    m_retention->setRange(FsrsParams::MinRetention, FsrsParams::MaxRetention);
    m_retention->setSingleStep(0.01);
    m_retention->setDecimals(2);
    m_retention->setValue(m_settings.retention());
    m_retention->setToolTip(QStringLiteral("复习时希望还记得的概率，越高复习越勤"));
    form->addRow(QStringLiteral("目标记忆率："), m_retention);
    m_examDate = new QDateEdit;
    m_examDate->setObjectName(QStringLiteral("examDate"));
    m_examDate->setCalendarPopup(true);
    // The least date, yesterday, stands for "no date set": the calendar then
    // opens on this month, and a date that has passed shows as none.
    m_noDate = m_env.now().date().addDays(-1);
    m_examDate->setMinimumDate(m_noDate);
    m_examDate->setSpecialValueText(QStringLiteral("未设定"));
    m_examDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_examDate->setDate(examDate().isValid() ? examDate() : m_noDate);
    auto* clearDate = button(QStringLiteral("清除"), "clearExamDate", settings);
    clearDate->setAccessibleName(QStringLiteral("清除考试日期"));
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_examDate, 1);
    dateRow->addWidget(clearDate);
    // The field is in a row of its own with 清除: named here, or a screen
    // reader would take the group's title for its name.
    m_examDate->setAccessibleName(QStringLiteral("考试日期"));
    auto* dateLabel = new QLabel(QStringLiteral("考试日期："));
    dateLabel->setBuddy(m_examDate);
    form->addRow(dateLabel, dateRow);
    m_favouritesOnly = new QCheckBox(QStringLiteral("只复习收藏的题"));
    m_favouritesOnly->setObjectName(QStringLiteral("favouritesOnly"));
    m_favouritesOnly->setToolTip(
        QStringLiteral("到期的题和新题都只取收藏的题（在“题库浏览”中收藏）"));
    m_favouritesOnly->setChecked(m_settings.favouritesOnly());
    m_favouritesOnly->setEnabled(m_favourites != nullptr);
    settingsLayout->addWidget(m_favouritesOnly);
    m_examNote = new QLabel;
    m_examNote->setObjectName(QStringLiteral("examNote"));
    m_examNote->setWordWrap(true);
    settingsLayout->addWidget(m_examNote);
    layout->addWidget(settings);
    connect(m_newPerDay, &QSpinBox::valueChanged, this, &DailyReviewPage::newPerDayEdited);
    connect(m_retention, &QDoubleSpinBox::valueChanged, this, &DailyReviewPage::retentionEdited);
    connect(m_examDate, &QDateEdit::dateChanged, this, &DailyReviewPage::examDateEdited);
    connect(m_favouritesOnly, &QCheckBox::toggled, this, [this](bool on) {
        QString error;
        if (!m_settings.setFavouritesOnly(on, &error)) reportSettings(error);
        favouritesEdited();
    });
    if (m_favourites) {
        connect(m_favourites, &Favourites::changed, this, [this] {
            if (m_favouritesOnly->isChecked()) favouritesEdited();
        });
    }
    connect(clearDate, &QPushButton::clicked, this, [this] {
        // The calendar starts from today when a date is picked next.
        m_examDate->setDate(m_noDate);
    });

    auto* chapters = new QGroupBox(QStringLiteral("章节"));
    auto* chapterLayout = new QVBoxLayout(chapters);
    m_chapterNote = new QLabel;
    m_chapterNote->setObjectName(QStringLiteral("chapterNote"));
    m_chapterNote->setWordWrap(true);
    chapterLayout->addWidget(m_chapterNote);
    m_chapters = new QTreeWidget;
    m_chapters->setObjectName(QStringLiteral("chapters"));
    m_chapters->setHeaderHidden(true);
    m_chapters->setAccessibleName(QStringLiteral("复习的章节"));
    chapterLayout->addWidget(m_chapters, 1);
    layout->addWidget(chapters, 1);
    buildChapterTree();
    // A parent's click changes all its children: one save for them all.
    m_chapterTimer = new QTimer(this);
    m_chapterTimer->setSingleShot(true);
    m_chapterTimer->setInterval(0);
    connect(m_chapterTimer, &QTimer::timeout, this, &DailyReviewPage::chaptersEdited);
    connect(m_chapters, &QTreeWidget::itemChanged, this, [this] {
        if (!m_fillingChapters) m_chapterTimer->start();
    });

    auto* exportButton = button(QStringLiteral("导出学习进度"), "exportProgress", panel);
    layout->addWidget(exportButton);
    connect(exportButton, &QPushButton::clicked, this, &DailyReviewPage::exportProgress);
    return panel;
}

void DailyReviewPage::buildChapterTree() {
    QMap<QString, int> counts;  // every code and its parents, with their questions
    for (const LevelQuestion& q : m_level) {
        if (q.chapter.isEmpty()) continue;
        const QStringList parts = q.chapter.split(u'.');
        for (int n = 1; n <= parts.size(); ++n) ++counts[parts.mid(0, n).join(u'.')];
    }
    if (counts.isEmpty()) {
        m_chapters->setEnabled(false);
        m_chapterNote->setText(QStringLiteral("该版本题库没有章节分类，复习全部试题。"));
        return;
    }
    m_chapterNote->setText(QStringLiteral("勾选要复习的章节；全部不选时复习全部试题。"));
    m_fillingChapters = true;
    const QStringList chosen = m_settings.chapters(m_editionLevel);
    QHash<QString, QTreeWidgetItem*> items;
    // Codes in syllabus order: 1.2 before 1.10.
    QStringList codes = counts.keys();
    std::sort(codes.begin(), codes.end(), [](const QString& a, const QString& b) {
        const QStringList x = a.split(u'.'), y = b.split(u'.');
        for (int i = 0; i < std::min(x.size(), y.size()); ++i) {
            const int p = x[i].toInt(), q = y[i].toInt();
            if (p != q) return p < q;
            if (x[i] != y[i]) return x[i] < y[i];
        }
        return x.size() < y.size();
    });
    for (const QString& code : codes) {
        const qsizetype dot = code.lastIndexOf(u'.');
        QTreeWidgetItem* parent = dot < 0 ? nullptr : items.value(code.first(dot));
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_chapters);
        item->setText(0, QStringLiteral("%1（%2题）").arg(code).arg(counts[code]));
        item->setData(0, Qt::UserRole, code);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        item->setCheckState(0, Qt::Unchecked);
        items.insert(code, item);
    }
    // Leaves decide; their parents follow through the auto tristate.
    for (QTreeWidgetItem* item : std::as_const(items)) {
        if (item->childCount() > 0) continue;
        const QString code = item->data(0, Qt::UserRole).toString();
        const bool on = chosen.isEmpty() || zoma::inChapters(code, chosen);
        item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    m_chapters->expandAll();
    m_fillingChapters = false;
}

QStringList DailyReviewPage::chosenChapters() const {
    if (!m_chapters->isEnabled()) return {};
    QStringList chosen;
    bool all = true;
    // The highest checked codes: a checked parent stands for its children.
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (item->checkState(0) == Qt::Checked) {
            chosen << item->data(0, Qt::UserRole).toString();
            return;
        }
        all = false;
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < m_chapters->topLevelItemCount(); ++i) walk(m_chapters->topLevelItem(i));
    return all ? QStringList() : chosen;
}

void DailyReviewPage::loadLog() {
    // Read once for the program: later it is news only when the file changed.
    if (!m_memory.refresh(m_env.now())) return;
    const QString path = QDir::toNativeSeparators(m_memory.path());
    if (!m_memory.readable()) {
        m_dialogs.message(QStringLiteral("学习记录无法读取，本次从空白开始，文件保持原样：\n%1\n%2")
                              .arg(path, m_memory.readError()));
        return;
    }
    QList<LogIssue> skipped, ahead;
    for (const LogIssue& issue : m_memory.issues()) (issue.taken ? ahead : skipped).append(issue);
    QStringList named;
    for (const LogIssue& issue : skipped.mid(0, kIssuesNamed))
        named << QStringLiteral("第%1行：%2，已跳过").arg(issue.line).arg(issue.reason);
    if (skipped.size() > kIssuesNamed)
        named << QStringLiteral("……共%1行无法使用").arg(skipped.size());
    // Named once, however many: a clock set back makes every later line one.
    if (ahead.size() == 1)
        named << QStringLiteral("第%1行：时间晚于现在，按现在的时间计").arg(ahead[0].line);
    else if (ahead.size() > 1)
        named << QStringLiteral("第%1行等%2行：时间晚于现在，按现在的时间计")
                     .arg(ahead[0].line)
                     .arg(ahead.size());
    if (named.isEmpty()) return;
    m_dialogs.message(QStringLiteral("学习记录中有未按原样采用的行，文件保持原样：\n%1\n%2")
                          .arg(path, named.join(u'\n')));
}

QDate DailyReviewPage::examDate() const {
    // A date that has passed counts as none: it would ask every question at once.
    const QDate date = m_settings.examDate(m_levelName);
    return date.isValid() && date >= m_env.now().date() ? date : QDate();
}

FsrsParams DailyReviewPage::params() const {
    FsrsParams params;
    params.retention = m_settings.retention();
    params.latestDue = zoma::latestDueFor(examDate());
    return params;
}

QueueOptions DailyReviewPage::options() const {
    QueueOptions options;
    options.newPerDay = m_settings.newPerDay();
    options.chapters = chosenChapters();
    options.examDate = examDate();
    if (m_favourites && m_favouritesOnly->isChecked()) {
        const QStringList ids = m_favourites->ids(zoma::editionKey(m_paper.edition));
        options.only = QSet<QString>(ids.begin(), ids.end());
    }
    return options;
}

void DailyReviewPage::replay() {
    m_state = &m_memory.state(zoma::editionKey(m_paper.edition), params(), m_env.now());
    emit memoryChanged();
}

void DailyReviewPage::recordedElsewhere() {
    if (m_recording) return;
    rebuildQueue();
    showExamNote();
    followQueue();
    scheduleChance();
    emit memoryChanged();
}

void DailyReviewPage::rebuildQueue() {
    m_queue = zoma::dailyQueue(m_level, *m_state, options(), m_env.now(), params());
    showCounts();
}

void DailyReviewPage::showCounts() {
    m_counts->setText(QStringLiteral("到期 %1　　新题 %2　　已完成 %3")
                          .arg(m_queue.due.size())
                          .arg(m_queue.fresh.size())
                          .arg(m_queue.done));
}

const ShownQuestion* DailyReviewPage::current() const {
    return m_stage == Stage::Empty ? nullptr : &m_shown;
}

void DailyReviewPage::askNext() {
    m_dueTimer->stop();
    if (practising() && m_practiceAt >= m_practice.size()) {
        m_dialogs.message(QStringLiteral("练习所选完成：共%1题，答对%2题。")
                              .arg(m_practice.size())
                              .arg(m_practiceRight));
        m_practice.clear();
    }
    showPractice();
    const QString id = practising() ? m_practice[m_practiceAt] : m_queue.head();
    if (id.isEmpty()) {
        m_stage = Stage::Empty;
        QString note = QStringLiteral("今天的复习已经完成。");
        if (m_queue.nextDue.isValid()) {
            note += QStringLiteral("下一题 %1 到期。").arg(timeText(m_queue.nextDue));
            // A learning step falls due within minutes; the page asks it then.
            const qint64 ms = m_env.now().msecsTo(m_queue.nextDue);
            if (ms < 24 * 3600 * 1000LL) m_dueTimer->start(int(std::max<qint64>(ms, 0) + 1000));
        } else {
            note += QStringLiteral("没有安排中的复习。");
        }
        m_doneNote->setText(note);
        showState();
        return;
    }
    m_shown = zoma::shuffled(m_paper.questions[m_byId.value(id)], m_random);
    m_stage = Stage::Asking;
    m_choice = 0;
    m_right = false;
    m_rating = Rating::Good;
    m_shownMs = m_env.clock();
    showQuestion();
    showState();
}

void DailyReviewPage::showQuestion() {
    const ExamQuestion& q = m_shown.question;
    const bool fresh = !m_queue.due.contains(q.id);
    m_progress->setText(QStringLiteral("%1%2　%3")
                            .arg(q.id, q.multiple() ? kMultipleTag : QString(),
                                 practising() ? QStringLiteral("练习所选")
                                 : fresh      ? QStringLiteral("新题")
                                              : QStringLiteral("复习")));
    m_questionText->setText(q.text);
    zoma::showPictureIn(m_picture, q.picture, kPictureBox);
    for (int i = 0; i < 4; ++i) {
        m_answers[i]->setText(m_shown.answer(i));
        m_letters[i]->setAccessibleDescription(m_shown.answer(i));
    }
}

// Every control from the state, so that what shows is what will be recorded.
void DailyReviewPage::showState() {
    const bool asking = m_stage == Stage::Asking;
    const bool revealed = m_stage == Stage::Revealed;
    const bool empty = m_stage == Stage::Empty;
    for (QWidget* w : std::initializer_list<QWidget*>{m_progress, m_questionText, m_feedback})
        w->setVisible(!empty);
    if (empty) m_picture->setVisible(false);
    for (int i = 0; i < 4; ++i) {
        // Once shown, the correct answers stand out in bold (no colour of our own).
        const bool bold = revealed && (m_shown.correct & (1u << i));
        if (m_answers[i]->font().bold() != bold) {
            QFont font = m_answers[i]->font();
            font.setBold(bold);
            m_answers[i]->setFont(font);
        }
        m_letters[i]->setVisible(!empty);
        m_answers[i]->setVisible(!empty);
        m_letters[i]->setEnabled(asking);
        m_letters[i]->setChecked(m_choice & (1u << i));
        m_ratings[i]->setVisible(!empty);
        m_ratings[i]->setEnabled(revealed && m_right);
        m_ratings[i]->setChecked(revealed && m_rating == kRatings[i]);
    }
    m_ratingLabel->setVisible(!empty);
    m_confirm->setVisible(!empty);
    m_next->setVisible(!empty);
    m_confirm->setEnabled(asking && m_shown.question.multiple() && m_choice != 0);
    m_next->setEnabled(revealed);
    m_doneNote->setVisible(empty);
    if (asking) {
        m_feedback->setText(m_shown.question.multiple()
                                ? QStringLiteral("多选题：选好后按回车或“确定”。")
                                : QString());
    } else if (revealed) {
        QString text = m_right ? QStringLiteral("回答正确。") : QStringLiteral("回答错误。");
        text += QStringLiteral("正确答案：%1").arg(zoma::letters(m_shown.correct));
        text += m_right ? QStringLiteral("\n评分：%1（按 1～4 可改），回车或空格进入下一题。")
                              .arg(kRatingTexts[ratingIndex(m_rating)])
                        : QStringLiteral("\n评分：重来。回车或空格进入下一题。");
        m_feedback->setText(text);
    }
}

void DailyReviewPage::digit(int i) {
    if (m_stage == Stage::Revealed) {
        rate(kRatings[i]);
    } else {
        choose(i);
    }
}

void DailyReviewPage::choose(int letter) {
    if (m_stage != Stage::Asking || letter < 0 || letter > 3) {
        showState();  // a click toggled a button that does not take it
        return;
    }
    const quint8 bit = quint8(1u << letter);
    if (m_shown.question.multiple()) {
        m_choice ^= bit;
        showState();
        return;
    }
    m_choice = bit;
    reveal();
}

void DailyReviewPage::confirm() {
    if (m_stage == Stage::Revealed) {
        next();
    } else if (m_stage == Stage::Asking && m_choice != 0) {
        reveal();
    }
}

void DailyReviewPage::reveal() {
    m_answerMs = m_env.clock() - m_shownMs;
    m_answeredAt = m_env.now();
    m_right = zoma::scores(m_choice, m_shown.correct);
    m_rating = m_right ? Rating::Good : Rating::Again;
    m_stage = Stage::Revealed;
    showState();
}

void DailyReviewPage::rate(Rating rating) {
    if (m_stage == Stage::Revealed && m_right) m_rating = rating;
    showState();
}

void DailyReviewPage::finishPending() {
    if (m_stage != Stage::Revealed) return;
    const ReviewEntry entry = ReviewRecorder::entry(m_shown, m_choice, m_paper.edition,
                                                    practising() ? kPracticeSource : kSource,
                                                    m_rating, m_answeredAt, m_answerMs);
    // Written or not, the answer counts in the memory.
    m_recording = true;
    m_recorder.record(entry);
    m_recording = false;
    m_stage = Stage::Empty;
    if (practising()) {
        ++m_practiceAt;
        if (m_right) ++m_practiceRight;
    }
    emit memoryChanged();
}

void DailyReviewPage::practise(const QStringList& ids) {
    QStringList chosen;
    for (const QString& id : ids) {
        if (m_byId.contains(id)) chosen.append(id);
    }
    if (chosen.isEmpty()) return;
    finishPending();
    m_practice = chosen;
    m_practiceAt = 0;
    m_practiceRight = 0;
    rebuildQueue();
    askNext();
    scheduleChance();
}

void DailyReviewPage::stopPractice() {
    if (!practising()) return;
    finishPending();
    m_practice.clear();
    rebuildQueue();
    askNext();
    scheduleChance();
}

void DailyReviewPage::showPractice() {
    m_practiceBar->setVisible(practising());
    if (practising()) {
        m_practiceNote->setText(
            QStringLiteral("练习所选：%1 / %2").arg(m_practiceAt + 1).arg(m_practice.size()));
    }
}

void DailyReviewPage::next() {
    if (m_stage != Stage::Revealed) return;
    finishPending();
    rebuildQueue();
    askNext();
    scheduleChance();
}

void DailyReviewPage::followQueue() {
    // The chosen set is asked whatever the limits.
    if (practising()) return;
    // A question asked that the queue no longer holds gives way at once; an
    // answer shown stays until it is moved on from, and is recorded then.
    const QString id = m_shown.question.id;
    if (m_stage == Stage::Empty ||
        (m_stage == Stage::Asking && !m_queue.due.contains(id) && !m_queue.fresh.contains(id)))
        askNext();
}

void DailyReviewPage::refresh() {
    if (m_stage != Stage::Empty) return;
    rebuildQueue();
    askNext();
}

void DailyReviewPage::focusQuestion() {
    m_askArea->setFocus();
}

void DailyReviewPage::scheduleChance() {
    m_chanceTimer->start();
}

void DailyReviewPage::showChance() {
    const QDate examDate = this->examDate();
    const QDateTime now = m_env.now();
    const bool ahead = examDate.isValid();
    // Without a date, the next morning: "now" would count what was just
    // answered, even wrongly, as remembered.
    const QDateTime at = ahead ? std::max(QDateTime(examDate, kExamTime), now)
                               : QDateTime(now.date().addDays(1), kExamTime);
    int singles = 0, multiples = 0;
    for (const LevelQuestion& q : m_level) ++(q.multiple ? multiples : singles);
    const int count = std::min(m_rule.singles, singles) + std::min(m_rule.multiples, multiples);
    const int passMark = std::min(m_rule.passMark, count);
    m_chance = zoma::levelPassChance(m_level, *m_state, m_rule.singles, m_rule.multiples, passMark,
                                     at, params());
    const QString when =
        ahead ? QStringLiteral("若在考试日 %1 考试").arg(examDate.toString(Qt::ISODate))
              : QStringLiteral("若明天 %1 考试").arg(kExamTime.toString(QStringLiteral("HH:mm")));
    QString text = QStringLiteral("%1：预计答对 %2 / %3 题，合格（%4 题）的概率 %5%。")
                       .arg(when)
                       .arg(m_chance.expectedScore, 0, 'f', 1)
                       .arg(count)
                       .arg(passMark)
                       .arg(m_chance.probability * 100, 0, 'f', 1);
    if (!ahead) text += QStringLiteral("设定考试日期后，按考试那天计算。");
    m_chanceText->setText(text);
}

void DailyReviewPage::showExamNote() {
    const QDate examDate = this->examDate();
    if (!examDate.isValid()) {
        m_examNote->setText(QStringLiteral("设定考试日期后，复习间隔不会越过考试日期。"));
        return;
    }
    const qint64 days = m_env.now().date().daysTo(examDate);
    m_examNote->setText(QStringLiteral("距考试还有 %1 天。要在考前一周见过全部试题，每天需学 %2 "
                                       "道新题；今天的新题上限为 %3 道。")
                            .arg(days)
                            .arg(m_queue.newForExam)
                            .arg(m_queue.newPerDay));
}

void DailyReviewPage::reportSettings(const QString& error) {
    // Once per window: the settings stay in force for this window.
    if (m_settingsReported) return;
    m_settingsReported = true;
    m_dialogs.message(QStringLiteral("学习设置无法保存：%1\n%2")
                          .arg(QDir::toNativeSeparators(m_settings.path()), error));
}

void DailyReviewPage::newPerDayEdited(int n) {
    QString error;
    if (!m_settings.setNewPerDay(n, &error)) reportSettings(error);
    rebuildQueue();
    showExamNote();
    followQueue();
}

void DailyReviewPage::retentionEdited(double r) {
    QString error;
    if (!m_settings.setRetention(r, &error)) reportSettings(error);
    replay();
    rebuildQueue();
    followQueue();
    showChance();
}

void DailyReviewPage::examDateEdited() {
    const QDate date = m_examDate->date() <= m_noDate ? QDate() : m_examDate->date();
    QString error;
    if (!m_settings.setExamDate(m_levelName, date, &error)) reportSettings(error);
    replay();
    rebuildQueue();
    showExamNote();
    followQueue();
    showChance();
}

void DailyReviewPage::favouritesEdited() {
    rebuildQueue();
    showExamNote();
    followQueue();
}

void DailyReviewPage::chaptersEdited() {
    QString error;
    if (m_chapters->isEnabled() &&
        !m_settings.setChapters(m_editionLevel, chosenChapters(), &error))
        reportSettings(error);
    rebuildQueue();
    showExamNote();
    followQueue();
}

void DailyReviewPage::exportProgress() {
    const QString path = m_dialogs.saveFile(
        QStringLiteral("CSV 文件(*.csv)|*.csv|所有文件(*.*)|*.*"),
        m_levelName + QStringLiteral("学习进度.csv"), QStringLiteral("导出学习进度"));
    if (path.isEmpty()) return;
    const zoma::SaveOutcome outcome =
        zoma::saveFiles(m_dialogs, {path}, ExportTexts, [this](int, QIODevice& out, QString* e) {
            return zoma::writeAll(out, zoma::progressCsv(m_level, *m_state, m_env.now(), params()),
                                  e);
        });
    if (outcome == zoma::SaveOutcome::Saved) m_dialogs.message(QStringLiteral("学习进度已导出。"));
}
