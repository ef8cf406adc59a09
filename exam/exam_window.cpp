// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/exam_window.h"

#include "exam/answer_card.h"
#include "exam/paper_printer.h"
#include "ui/picture.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

const QString ExamWindow::TimeUpText = QStringLiteral("考试时间到，已自动交卷。");
const QString ExamWindow::NotebookCountText = QStringLiteral("错题本中本试卷的题：%1");
const QString ExamWindow::StarredCountText = QStringLiteral("错题本中本试卷收藏的题：%1");
const QString ExamWindow::PrintPapersText = QStringLiteral("打印试卷");
const QString ExamWindow::PrintNotebookText = QStringLiteral("打印错题本");
const QString ExamWindow::CloseQuestion =
    QStringLiteral("考试还没有交卷。现在关闭窗口，本次考试不计成绩。确定关闭吗？");

namespace {

constexpr QSize kPictureBox(360, 240);
constexpr int kHistoryShown = 10;
const QString kMultipleTag = QStringLiteral("（多选）");

QString minutesAndSeconds(qint64 seconds) {
    return QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

QString clockText(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;  // 0:00 only when the time is up
    return QStringLiteral("剩余时间 %1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QSpinBox* spinBox(const char* name, int high, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, high);
    box->setMaximumWidth(120);
    return box;
}

}  // namespace

ExamEnvironment ExamEnvironment::system() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return {[timer] { return timer->elapsed(); },
            [] { return QRandomGenerator::system()->generate(); }, &QDateTime::currentDateTime};
}

ExamWindow::ExamWindow(const QuestionBank& bank, const SharedValues& values, ReviewMemory& memory,
                       Dialogs& dialogs, const QString& level, ExamEnvironment environment,
                       QWidget* parent)
    : QWidget(parent),
      m_values(values),
      m_dialogs(dialogs),
      m_level(level),
      m_env(std::move(environment)),
      m_paper(zoma::examPaper(bank, values)),
      m_kinds(zoma::paperKinds(m_paper.questions)),
      m_settings(values.folder().appFile(RuleSettings::FileName)),
      m_notebook(values.folder().appFile(Notebook::FileName)),
      m_history(values.folder().appFile(ExamHistory::FileName)),
      m_recorder(memory, dialogs),
      m_favourites(values.folder().appFile(Favourites::FileName)),
      m_paperNumbers(values.folder().appFile(PaperNumbers::FileName)) {
    setWindowTitle(QStringLiteral("模拟考试"));
    setAccessibleName(QStringLiteral("模拟考试"));
    resize(820, 620);

    m_pages = new QStackedWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    buildStartPage();
    buildQuestionPage();
    buildResultPage();

    m_timer = new QTimer(this);
    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &ExamWindow::tick);

    // A damaged file is reported once and kept as it is; the exam runs without it.
    QString error;
    if (!m_notebook.load(&error)) {
        m_dialogs.message(QStringLiteral("错题本无法读取，文件保持原样，本次不会改写：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_notebook.path()), error));
    }
    if (!m_history.load(&error)) {
        m_dialogs.message(QStringLiteral("考试记录无法读取，文件保持原样，本次不会改写：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_history.path()), error));
    }
    const QString settingsPath = m_values.folder().appFile(RuleSettings::FileName);
    error.clear();
    const ExamRule rule = m_settings.load(m_paper.edition, m_level, &error);
    if (!error.isEmpty()) {
        m_dialogs.message(QStringLiteral("考试设置无法读取，使用默认规则：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(settingsPath), error));
    }
    m_settingRule = true;
    m_singles->setValue(rule.singles);
    m_multiples->setValue(rule.multiples);
    m_minutes->setValue(rule.minutes);
    m_passMark->setValue(rule.passMark);
    m_settingRule = false;
    showRule();
    refreshHistory();
    m_pages->setCurrentIndex(int(Page::Start));
    m_startButton->setFocus();
}

ExamWindow::~ExamWindow() = default;

ExamWindow::Page ExamWindow::page() const {
    return Page(m_pages->currentIndex());
}

void ExamWindow::buildStartPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_ruleTitle = new QLabel;
    m_ruleTitle->setObjectName(QStringLiteral("ruleTitle"));
    m_ruleTitle->setWordWrap(true);
    layout->addWidget(m_ruleTitle);

    auto* form = new QFormLayout;
    m_singles = spinBox("singles", 2000, page);
    m_multiples = spinBox("multiples", 2000, page);
    m_minutes = spinBox("minutes", 600, page);
    m_passMark = spinBox("passMark", 2000, page);
    form->addRow(QStringLiteral("单选题数："), m_singles);
    form->addRow(QStringLiteral("多选题数："), m_multiples);
    form->addRow(QStringLiteral("考试时间（分钟）："), m_minutes);
    form->addRow(QStringLiteral("合格分数："), m_passMark);
    for (QSpinBox* box : {m_singles, m_multiples, m_minutes, m_passMark}) {
        connect(box, &QSpinBox::valueChanged, this, &ExamWindow::ruleEdited);
    }
    layout->addLayout(form);

    m_shortNote = new QLabel;
    m_shortNote->setObjectName(QStringLiteral("shortNote"));
    m_shortNote->setWordWrap(true);
    m_shortNote->setStyleSheet(QStringLiteral("color: #a04000"));
    layout->addWidget(m_shortNote);

    auto* buttons = new QHBoxLayout;
    m_startButton = button(QStringLiteral("开始考试"), "startButton", page);
    auto* defaults = button(QStringLiteral("恢复默认"), "defaultsButton", page);
    m_practiceButton = button(QStringLiteral("错题练习"), "practiceButton", page);
    m_notebookCount = new QLabel;
    m_notebookCount->setObjectName(QStringLiteral("notebookCount"));
    buttons->addWidget(m_startButton);
    buttons->addWidget(defaults);
    buttons->addSpacing(24);
    buttons->addWidget(m_practiceButton);
    buttons->addWidget(m_notebookCount);
    m_practiceFavourites = new QCheckBox(QStringLiteral("错题练习只练收藏的题"), page);
    m_practiceFavourites->setObjectName(QStringLiteral("practiceFavouritesOnly"));
    m_practiceFavourites->setToolTip(
        QStringLiteral("只练错题本中在“学习中心”的“题库浏览”里收藏过的题"));
    buttons->addSpacing(12);
    buttons->addWidget(m_practiceFavourites);
    connect(m_practiceFavourites, &QCheckBox::toggled, this, [this](bool on) {
        if (on) loadFavourites();
        showNotebookCount();
    });
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_startButton, &QPushButton::clicked, this, &ExamWindow::startExam);
    connect(m_practiceButton, &QPushButton::clicked, this, &ExamWindow::startPractice);
    connect(defaults, &QPushButton::clicked, this, [this] {
        const ExamRule rule = zoma::defaultRule(m_paper.edition, m_level);
        m_singles->setValue(rule.singles);
        m_multiples->setValue(rule.multiples);
        m_minutes->setValue(rule.minutes);
        m_passMark->setValue(rule.passMark);
    });

    layout->addWidget(new QLabel(QStringLiteral("最近十次考试：")));
    m_historyView = new QPlainTextEdit;
    m_historyView->setObjectName(QStringLiteral("historyView"));
    m_historyView->setReadOnly(true);
    m_historyView->setTabChangesFocus(true);
    m_historyView->setAccessibleName(QStringLiteral("最近十次考试"));
    layout->addWidget(m_historyView, 1);

    // Printing, in a row of its own below everything else.
    auto* print = new QHBoxLayout;
    auto* printPapers = button(PrintPapersText + u'…', "printPapersButton", page);
    m_printCount = spinBox("printCount", 50, page);
    m_printCount->setRange(1, 50);
    m_printCount->setAccessibleName(QStringLiteral("份数"));
    m_printEach = new QCheckBox(QStringLiteral("每份一个文件"), page);
    m_printEach->setObjectName(QStringLiteral("printEach"));
    auto* printNotebook = button(PrintNotebookText + u'…', "printNotebookButton", page);
    print->addWidget(printPapers);
    auto* countLabel = new QLabel(QStringLiteral("份数："), page);
    countLabel->setBuddy(m_printCount);
    print->addWidget(countLabel);
    print->addWidget(m_printCount);
    print->addWidget(m_printEach);
    print->addSpacing(24);
    print->addWidget(printNotebook);
    print->addStretch();
    layout->addLayout(print);
    connect(printPapers, &QPushButton::clicked, this, &ExamWindow::printPapers);
    connect(printNotebook, &QPushButton::clicked, this, &ExamWindow::printNotebook);
    m_pages->addWidget(page);
}

void ExamWindow::buildQuestionPage() {
    auto* page = new QWidget;
    // The page itself holds the focus, so that Tab leads to 交卷 and Space
    // presses nothing by accident.
    page->setFocusPolicy(Qt::StrongFocus);
    auto* outer = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    outer->addLayout(left, 1);

    auto* top = new QHBoxLayout;
    m_progress = new QLabel;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_clock = new QLabel;
    m_clock->setObjectName(QStringLiteral("clock"));
    top->addWidget(m_progress, 1);
    top->addWidget(m_clock);
    left->addLayout(top);

    m_questionText = new QLabel;
    m_questionText->setObjectName(QStringLiteral("questionText"));
    m_questionText->setWordWrap(true);
    m_questionText->setTextFormat(Qt::PlainText);
    QFont bigger = m_questionText->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.2);
    m_questionText->setFont(bigger);
    left->addWidget(m_questionText);

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    left->addWidget(m_picture);

    auto* answers = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_letters[i] = button(QString(QChar(u'A' + i)), "", page);
        m_letters[i]->setObjectName(QStringLiteral("letter%1").arg(QChar(u'A' + i)));
        m_letters[i]->setCheckable(true);
        m_letters[i]->setFixedWidth(40);
        m_letters[i]->setFocusPolicy(Qt::NoFocus);
        m_answers[i] = new QLabel;
        m_answers[i]->setObjectName(QStringLiteral("answer%1").arg(QChar(u'A' + i)));
        m_answers[i]->setWordWrap(true);
        m_answers[i]->setTextFormat(Qt::PlainText);
        m_answers[i]->setFont(bigger);
        answers->addWidget(m_letters[i], i, 0, Qt::AlignTop);
        answers->addWidget(m_answers[i], i, 1);
        // toggled, not clicked: a screen reader's "Toggle" action checks the
        // button without a click, and must record the choice all the same.
        connect(m_letters[i], &QPushButton::toggled, this,
                [this, i](bool checked) { letterToggled(i, checked); });
    }
    answers->setColumnStretch(1, 1);
    left->addLayout(answers);

    m_feedback = new QLabel;
    m_feedback->setObjectName(QStringLiteral("feedback"));
    m_feedback->setWordWrap(true);
    left->addWidget(m_feedback);
    left->addStretch();

    auto* nav = new QHBoxLayout;
    m_previous = button(QStringLiteral("上一题"), "previousButton", page);
    m_next = button(QStringLiteral("下一题"), "nextButton", page);
    m_mark = button(QStringLiteral("标记"), "markButton", page);
    m_confirm = button(QStringLiteral("确定"), "confirmButton", page);
    m_submit = button(QStringLiteral("交卷"), "submitButton", page);
    m_stopPractice = button(QStringLiteral("结束练习"), "stopPracticeButton", page);
    for (QPushButton* b : {m_previous, m_next, m_mark, m_confirm}) b->setFocusPolicy(Qt::NoFocus);
    nav->addWidget(m_previous);
    nav->addWidget(m_next);
    nav->addWidget(m_mark);
    nav->addWidget(m_confirm);
    nav->addStretch();
    nav->addWidget(m_submit);
    nav->addWidget(m_stopPractice);
    left->addLayout(nav);
    connect(m_previous, &QPushButton::clicked, this, [this] { move(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { move(1); });
    connect(m_mark, &QPushButton::clicked, this, &ExamWindow::toggleMark);
    connect(m_confirm, &QPushButton::clicked, this, &ExamWindow::confirmPractice);
    connect(m_submit, &QPushButton::clicked, this, &ExamWindow::submitAsked);
    connect(m_stopPractice, &QPushButton::clicked, this, [this] {
        m_practising = false;
        m_pages->setCurrentIndex(int(Page::Start));
        refreshHistory();
    });

    auto* right = new QVBoxLayout;
    right->addWidget(
        new QLabel(QStringLiteral("答题卡（绿：已答　白：未答　橙：标记　粗框：当前）")));
    m_card = new AnswerCard;
    m_card->setObjectName(QStringLiteral("answerCard"));
    right->addWidget(m_card);
    right->addStretch();
    outer->addLayout(right);
    connect(m_card, &AnswerCard::cellClicked, this, &ExamWindow::goTo);

    // Keys act wherever the focus is on this page; they are on only while it shows.
    for (int i = 0; i < 4; ++i) {
        addKey(QKeySequence(Qt::Key_1 + i), [this, i] { choose(i); });
        addKey(QKeySequence(Qt::Key_A + i), [this, i] { choose(i); });
    }
    addKey(QKeySequence(Qt::Key_Left), [this] { move(-1); });
    addKey(QKeySequence(Qt::Key_PageUp), [this] { move(-1); });
    addKey(QKeySequence(Qt::Key_Right), [this] { move(1); });
    addKey(QKeySequence(Qt::Key_PageDown), [this] { move(1); });
    addKey(QKeySequence(Qt::Key_M), [this] { toggleMark(); });
    addKey(QKeySequence(Qt::Key_Return), [this] { confirmPractice(); });
    addKey(QKeySequence(Qt::Key_Enter), [this] { confirmPractice(); });
    m_pages->addWidget(page);
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int index) {
        for (QShortcut* key : m_keys) key->setEnabled(index == int(Page::Question));
    });
}

void ExamWindow::addKey(const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setAutoRepeat(false);
    shortcut->setEnabled(false);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    m_keys.append(shortcut);
}

void ExamWindow::buildResultPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    m_score = new QLabel;
    m_score->setObjectName(QStringLiteral("score"));
    m_verdict = new QLabel;
    m_verdict->setObjectName(QStringLiteral("verdict"));
    QFont big = m_score->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_score->setFont(big);
    m_verdict->setFont(big);
    m_timeUsed = new QLabel;
    m_timeUsed->setObjectName(QStringLiteral("timeUsed"));
    top->addWidget(m_score);
    top->addSpacing(24);
    top->addWidget(m_verdict);
    top->addSpacing(24);
    top->addWidget(m_timeUsed);
    top->addStretch();
    layout->addLayout(top);

    m_wrongOnly = new QCheckBox(QStringLiteral("只看错题"));
    m_wrongOnly->setObjectName(QStringLiteral("wrongOnly"));
    layout->addWidget(m_wrongOnly);
    connect(m_wrongOnly, &QCheckBox::toggled, this, &ExamWindow::showResultList);

    m_resultList = new QPlainTextEdit;
    m_resultList->setObjectName(QStringLiteral("resultList"));
    m_resultList->setReadOnly(true);
    m_resultList->setTabChangesFocus(true);
    m_resultList->setAccessibleName(QStringLiteral("试题列表"));
    layout->addWidget(m_resultList, 1);

    m_back = button(QStringLiteral("返回"), "backButton", page);
    QPushButton* back = m_back;
    connect(back, &QPushButton::clicked, this, [this] {
        m_pages->setCurrentIndex(int(Page::Start));
        refreshHistory();
        m_startButton->setFocus();
    });
    layout->addWidget(back, 0, Qt::AlignRight);
    m_pages->addWidget(page);
}

void ExamWindow::showRule() {
    const ExamRule rule = zoma::defaultRule(m_paper.edition, m_level);
    QString title =
        QStringLiteral("%1　模拟考试　　题库版本：%2\n试卷共%3题（单选%4题，多选%5题）。")
            .arg(m_level, zoma::editionTitle(m_paper.edition))
            .arg(m_paper.questions.size())
            .arg(m_kinds.singles)
            .arg(m_kinds.multiples);
    title += QStringLiteral("\n默认规则：%1题").arg(rule.singles + rule.multiples);
    if (rule.multiples > 0) {
        title += QStringLiteral("（单选%1 + 多选%2）").arg(rule.singles).arg(rule.multiples);
    }
    title += QStringLiteral("，%1分钟，%2题合格；每题选项须与正确答案完全一致才得分。")
                 .arg(rule.minutes)
                 .arg(rule.passMark);
    m_ruleTitle->setText(title);

    QStringList notes;
    const int singles = std::min(m_singles->value(), m_kinds.singles);
    const int multiples = std::min(m_multiples->value(), m_kinds.multiples);
    if (m_singles->value() > m_kinds.singles) {
        notes << QStringLiteral("试卷只有单选题%1道，考试全部给出。").arg(m_kinds.singles);
    }
    if (m_multiples->value() > m_kinds.multiples) {
        notes << QStringLiteral("试卷只有多选题%1道，考试全部给出。").arg(m_kinds.multiples);
    }
    if (m_passMark->value() > singles + multiples) {
        notes << QStringLiteral("合格分数高于题数，按全部答对计算。");
    }
    m_shortNote->setText(notes.join(u'\n'));
    m_startButton->setEnabled(singles + multiples > 0 && m_minutes->value() > 0);
}

void ExamWindow::ruleEdited() {
    showRule();
    if (m_settingRule) return;
    const ExamRule rule{m_singles->value(), m_multiples->value(), m_minutes->value(),
                        m_passMark->value()};
    QString error;
    if (!m_settings.save(m_paper.edition, m_level, rule, &error)) {
        reportWrite(QStringLiteral("考试设置"), m_values.folder().appFile(RuleSettings::FileName),
                    error);
    }
}

void ExamWindow::refreshHistory() {
    QStringList lines;
    const QList<ExamHistory::Line>& all = m_history.lines();
    for (qsizetype i = all.size() - 1; i >= 0 && lines.size() < kHistoryShown; --i) {
        const ExamHistory::Line& l = all[i];
        lines << QStringLiteral("%1　%2　%3版　%4/%5分　%6　用时%7")
                     .arg(l.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")), l.level,
                          zoma::editionTitle(l.edition))
                     .arg(l.score)
                     .arg(l.count)
                     .arg(l.passed ? QStringLiteral("合格") : QStringLiteral("不合格"),
                          minutesAndSeconds(l.seconds));
    }
    m_historyView->setPlainText(lines.isEmpty() ? QStringLiteral("（还没有考试记录）")
                                                : lines.join(u'\n'));
    showNotebookCount();
}

void ExamWindow::showNotebookCount() {
    const bool starredOnly = m_practiceFavourites->isChecked();
    const QString edition = zoma::editionKey(m_paper.edition);
    int waiting = 0;
    int starred = 0;
    for (const ExamQuestion& q : m_paper.questions) {
        if (!m_notebook.find(m_paper.edition, q.id)) continue;
        ++waiting;
        starred += m_favourites.contains(edition, q.id) ? 1 : 0;
    }
    m_practiceButton->setEnabled(waiting > 0);
    m_notebookCount->setText(starredOnly ? StarredCountText.arg(starred)
                                         : NotebookCountText.arg(waiting));
}

void ExamWindow::loadFavourites() {
    // Read each time: the stars are given in 学习中心, which may be open beside.
    QString error;
    if (!m_favourites.load(&error) && !m_favouritesReported) {
        m_favouritesReported = true;
        m_dialogs.message(QStringLiteral("收藏文件无法读取，程序不会改写它：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_favourites.path()), error));
    }
}

QList<ShownQuestion> ExamWindow::notebookQuestions() {
    QList<ShownQuestion> questions;
    ExamRandom random(m_env.seed());
    for (const ExamQuestion& q : m_paper.questions) {
        if (m_notebook.find(m_paper.edition, q.id)) questions.append(zoma::shuffled(q, random));
    }
    return questions;
}

void ExamWindow::startExam() {
    const ExamRule rule{m_singles->value(), m_multiples->value(), m_minutes->value(),
                        m_passMark->value()};
    ExamRandom random(m_env.seed());
    m_practising = false;
    m_session = std::make_unique<ExamSession>(zoma::drawExam(m_paper.questions, rule, random),
                                              rule.minutes, rule.passMark, m_env.clock);
    m_feedback->clear();
    for (QPushButton* b : {m_previous, m_next, m_mark, m_submit}) b->setVisible(true);
    m_confirm->setVisible(false);
    m_stopPractice->setVisible(false);
    m_card->setVisible(true);
    m_clock->setVisible(true);
    m_pages->setCurrentIndex(int(Page::Question));
    m_pages->currentWidget()->setFocus();
    showCurrent();
    showClock();
    m_timer->start();
}

QList<ShownQuestion> ExamWindow::practiceQuestions() {
    QList<ShownQuestion> questions = notebookQuestions();
    if (!m_practiceFavourites->isChecked()) return questions;
    const QString edition = zoma::editionKey(m_paper.edition);
    questions.removeIf(
        [&](const ShownQuestion& q) { return !m_favourites.contains(edition, q.question.id); });
    return questions;
}

void ExamWindow::startPractice() {
    if (m_practiceFavourites->isChecked()) {
        loadFavourites();
        showNotebookCount();
    }
    m_practice = practiceQuestions();
    if (m_practice.isEmpty()) {
        if (m_practiceFavourites->isChecked())
            m_dialogs.message(QStringLiteral("错题本中本试卷的题都没有收藏。"));
        return;
    }
    m_practising = true;
    m_practiceAt = 0;
    m_practiceChoice = 0;
    m_practiceRight = 0;
    m_revealed = false;
    m_practiceShownMs = m_env.clock();
    for (QPushButton* b : {m_previous, m_mark, m_submit}) b->setVisible(false);
    m_next->setVisible(true);
    m_confirm->setVisible(true);
    m_stopPractice->setVisible(true);
    m_card->setVisible(false);
    m_clock->setVisible(false);
    m_pages->setCurrentIndex(int(Page::Question));
    m_pages->currentWidget()->setFocus();
    showCurrent();
}

const ShownQuestion* ExamWindow::currentQuestion() const {
    if (m_practising) {
        return m_practiceAt < m_practice.size() ? &m_practice[m_practiceAt] : nullptr;
    }
    if (!m_session || m_session->count() == 0) return nullptr;
    return &m_session->question(m_session->current());
}

quint8 ExamWindow::currentChoice() const {
    if (m_practising) return m_practiceChoice;
    return m_session ? m_session->choice(m_session->current()) : 0;
}

void ExamWindow::showCurrent() {
    const ShownQuestion* shown = currentQuestion();
    if (!shown) return;
    const ExamQuestion& q = shown->question;
    const bool multiple = q.multiple();
    if (m_practising) {
        m_progress->setText(QStringLiteral("错题练习　第%1 / %2题　%3%4")
                                .arg(m_practiceAt + 1)
                                .arg(m_practice.size())
                                .arg(q.id, multiple ? kMultipleTag : QString()));
    } else {
        const int i = m_session->current();
        m_progress->setText(
            QStringLiteral("第%1 / %2题　%3%4%5")
                .arg(i + 1)
                .arg(m_session->count())
                .arg(q.id, multiple ? kMultipleTag : QString(),
                     m_session->marked(i) ? QStringLiteral("　［已标记］") : QString()));
    }
    m_questionText->setText(q.text);
    zoma::showPictureIn(m_picture, q.picture, kPictureBox);
    const quint8 chosen = currentChoice();
    for (int i = 0; i < 4; ++i) {
        m_answers[i]->setText(shown->answer(i));
        m_letters[i]->setChecked(chosen & (1u << i));
    }
    if (m_practising) {
        m_confirm->setEnabled(multiple && !m_revealed);
        m_next->setEnabled(m_revealed);
        if (!m_revealed)
            m_feedback->setText(multiple ? QStringLiteral("多选题：选好后按回车或“确定”。")
                                         : QString());
        return;
    }
    QList<AnswerCard::Cell> cells;
    cells.reserve(m_session->count());
    for (int i = 0; i < m_session->count(); ++i) {
        cells.append({m_session->choice(i) != 0, m_session->marked(i)});
    }
    m_card->setCells(cells, m_session->current());
    m_previous->setEnabled(m_session->current() > 0);
    m_next->setEnabled(m_session->current() + 1 < m_session->count());
}

void ExamWindow::choose(int letter) {
    if (m_practising) {
        const ShownQuestion* shown = currentQuestion();
        if (!shown || m_revealed) return;
        const quint8 bit = quint8(1u << letter);
        if (shown->question.multiple()) {
            m_practiceChoice ^= bit;
            showChoice();
            return;
        }
        m_practiceChoice = bit;
        confirmPractice();
        return;
    }
    if (!m_session || m_session->submitted()) return;
    m_session->choose(letter);
    showCurrent();
}

void ExamWindow::letterToggled(int letter, bool checked) {
    // The window setting the buttons to the recorded choice toggles them too.
    if (checked == bool(currentChoice() & (1u << letter))) return;
    choose(letter);
    showChoice();  // a toggle that records nothing (the answer is shown) is undone
}

void ExamWindow::showChoice() {
    const quint8 chosen = currentChoice();
    for (int i = 0; i < 4; ++i) m_letters[i]->setChecked(chosen & (1u << i));
}

void ExamWindow::confirmPractice() {
    if (!m_practising) return;
    if (m_revealed) {
        move(1);
        return;
    }
    const ShownQuestion* shown = currentQuestion();
    if (!shown || m_practiceChoice == 0) return;
    m_revealed = true;
    const bool right = zoma::scores(m_practiceChoice, shown->correct);
    m_practiceRight += right ? 1 : 0;
    m_notebook.answered(m_paper.edition, shown->question.id, right);
    m_recorder.record(ReviewRecorder::entry(*shown, m_practiceChoice, m_paper.edition,
                                            QStringLiteral("wrong"), Rating::Good, m_env.now(),
                                            m_env.clock() - m_practiceShownMs));
    QString text = right ? QStringLiteral("回答正确。") : QStringLiteral("回答错误。");
    text += QStringLiteral("正确答案：%1").arg(zoma::letters(shown->correct));
    if (right && !m_notebook.find(m_paper.edition, shown->question.id)) {
        text += QStringLiteral("　已连续答对两次，移出错题本。");
    }
    text += QStringLiteral("　按→或回车继续。");
    m_feedback->setText(text);
    saveNotebook();
    showCurrent();
}

void ExamWindow::move(int step) {
    if (m_practising) {
        if (step < 0 || !m_revealed) return;
        m_revealed = false;
        m_practiceChoice = 0;
        m_feedback->clear();
        if (++m_practiceAt >= m_practice.size()) {
            m_practising = false;
            m_dialogs.message(QStringLiteral("错题练习完成：共%1题，答对%2题。")
                                  .arg(m_practice.size())
                                  .arg(m_practiceRight));
            m_pages->setCurrentIndex(int(Page::Start));
            refreshHistory();
            m_startButton->setFocus();
            return;
        }
        m_practiceShownMs = m_env.clock();
        showCurrent();
        return;
    }
    if (!m_session || m_session->submitted()) return;
    m_session->move(step);
    showCurrent();
}

void ExamWindow::goTo(int index) {
    if (!m_session || m_session->submitted() || m_practising) return;
    m_session->go(index);
    showCurrent();
}

void ExamWindow::toggleMark() {
    if (!m_session || m_session->submitted() || m_practising) return;
    m_session->toggleMark();
    showCurrent();
}

void ExamWindow::showClock() {
    if (m_session) m_clock->setText(clockText(m_session->remainingMs()));
}

void ExamWindow::tick() {
    if (!m_session || m_session->submitted()) return;
    showClock();
    if (m_session->timeUp()) finishExam(true);
}

void ExamWindow::submitAsked() {
    if (!m_session || m_session->submitted()) return;
    const int open = m_session->unanswered();
    const QString question = open > 0 ? QStringLiteral("还有%1题未答。确定交卷吗？").arg(open)
                                      : QStringLiteral("所有题目都已作答。确定交卷吗？");
    if (m_dialogs.message(question, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) return;
    // The time may have run out while the question was open.
    finishExam(m_session->timeUp());
}

void ExamWindow::finishExam(bool timeUp) {
    if (!m_session || m_session->submitted()) return;
    m_timer->stop();
    const ExamResult& result = m_session->submit();
    showClock();
    for (int i = 0; i < m_session->count(); ++i) {
        m_notebook.answered(m_paper.edition, m_session->question(i).question.id, result.right[i]);
    }
    saveNotebook();
    const QDateTime submitted = m_env.now();
    const ExamHistory::Line line{submitted,    m_level,       m_paper.edition,   result.count,
                                 result.score, result.passed, result.secondsUsed};
    QString error;
    // A file that could not be read was reported when the window opened.
    if (m_history.writable() && !m_history.append(line, &error)) {
        reportWrite(QStringLiteral("考试记录"), m_history.path(), error);
    }
    // After the history: the open study pages show the answers at once, and
    // with them this exam on the score chart. Questions left unanswered gave
    // no answer to learn from.
    QList<ReviewEntry> answers;
    for (int i = 0; i < m_session->count(); ++i) {
        if (m_session->choice(i) == 0) continue;
        answers.append(ReviewRecorder::entry(m_session->question(i), m_session->choice(i),
                                             m_paper.edition, QStringLiteral("exam"), Rating::Good,
                                             submitted, m_session->msOn(i)));
    }
    m_recorder.record(answers);

    m_score->setText(QStringLiteral("得分：%1 / %2").arg(result.score).arg(result.count));
    m_verdict->setText(result.passed ? QStringLiteral("合格") : QStringLiteral("不合格"));
    m_verdict->setStyleSheet(result.passed ? QStringLiteral("color: #207020")
                                           : QStringLiteral("color: #b02020"));
    m_timeUsed->setText(QStringLiteral("合格分数：%1　　用时：%2")
                            .arg(result.passMark)
                            .arg(minutesAndSeconds(result.secondsUsed)));
    showResultList();
    m_pages->setCurrentIndex(int(Page::Result));
    m_back->setFocus();
    if (timeUp) m_dialogs.message(TimeUpText);
}

void ExamWindow::showResultList() {
    if (!m_session || !m_session->submitted()) return;
    const ExamResult& result = m_session->submit();
    QStringList blocks;
    for (int i = 0; i < m_session->count(); ++i) {
        if (m_wrongOnly->isChecked() && result.right[i]) continue;
        const ShownQuestion& shown = m_session->question(i);
        const quint8 chosen = m_session->choice(i);
        QString block =
            QStringLiteral("%1. %2%3　%4\n%5\n")
                .arg(i + 1)
                .arg(shown.question.id, shown.question.multiple() ? kMultipleTag : QString(),
                     result.right[i] ? QStringLiteral("［对］")
                     : chosen == 0   ? QStringLiteral("［未答］")
                                     : QStringLiteral("［错］"),
                     shown.question.text);
        for (int k = 0; k < 4; ++k) {
            block += QStringLiteral("%1. %2\n").arg(QChar(u'A' + k)).arg(shown.answer(k));
        }
        block += QStringLiteral("你的选择：%1　　正确答案：%2")
                     .arg(chosen == 0 ? QStringLiteral("（未答）") : zoma::letters(chosen),
                          zoma::letters(shown.correct));
        blocks << block;
    }
    m_resultList->setPlainText(blocks.isEmpty() ? QStringLiteral("全部答对。")
                                                : blocks.join(QStringLiteral("\n\n")));
}

void ExamWindow::saveNotebook() {
    QString error;
    if (m_notebook.writable() && !m_notebook.save(&error)) {
        reportWrite(QStringLiteral("错题本"), m_notebook.path(), error);
    }
}

void ExamWindow::printPapers() {
    const ExamRule rule{m_singles->value(), m_multiples->value(), m_minutes->value(),
                        m_passMark->value()};
    const QDate today = m_env.now().date();
    PaperPrinter printer(m_values, m_dialogs, m_paperNumbers, this);
    const int count = m_printCount->value();
    const int first = printer.firstFreeNumber(m_level + QStringLiteral("模拟试卷"), today, count);
    const QList<PrintPaper> papers =
        PaperPrinter::mockPapers(m_paper, m_level, rule, today, first, count, m_env.seed);
    if (papers.first().questions.isEmpty()) {
        m_dialogs.message(QStringLiteral("按当前规则抽不出试题，没有可打印的试卷。"));
        return;
    }
    printer.print(papers, first, m_printEach->isChecked(), PrintPapersText);
}

void ExamWindow::printNotebook() {
    const QDate today = m_env.now().date();
    PrintPaper paper{m_level + QStringLiteral("错题本"), m_paper.edition, {}, today, {}, {}, {}};
    paper.questions = notebookQuestions();
    if (paper.questions.isEmpty()) {
        m_dialogs.message(QStringLiteral("错题本中没有本试卷的题。"));
        return;
    }
    for (const ShownQuestion& q : paper.questions)
        paper.wrong << m_notebook.find(m_paper.edition, q.question.id)->wrong;
    PaperPrinter printer(m_values, m_dialogs, m_paperNumbers, this);
    const int first = printer.firstFreeNumber(paper.title, today, 1);
    paper.number = QStringLiteral("%1-%2").arg(today.toString(u"yyyyMMdd")).arg(first);
    printer.print({paper}, first, false, PrintNotebookText);
}

void ExamWindow::reportWrite(const QString& what, const QString& path, const QString& reason) {
    // Once per window: the exam goes on without the file.
    if (m_writeErrorShown) return;
    m_writeErrorShown = true;
    m_dialogs.message(
        QStringLiteral("%1无法保存：%2\n%3").arg(what, QDir::toNativeSeparators(path), reason));
}

void ExamWindow::closeEvent(QCloseEvent* event) {
    if (m_session && !m_session->submitted() && !m_practising && page() == Page::Question &&
        m_dialogs.message(CloseQuestion, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        event->ignore();
        return;
    }
    m_timer->stop();
    event->accept();
}
