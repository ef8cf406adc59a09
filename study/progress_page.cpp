// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/progress_page.h"

#include "exam/exam_rules.h"
#include "study/day_heat_map.h"
#include "study/group_bars.h"
#include "study/progress_map.h"
#include "study/score_chart.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A square of the map's colour and its name.
QWidget* legendEntry(const QuestionStanding& standing, const QString& name, QWidget* parent) {
    auto* entry = new QWidget(parent);
    auto* layout = new QHBoxLayout(entry);
    layout->setContentsMargins(0, 0, 8, 0);
    QPixmap square(12, 12);
    square.fill(zoma::standingColour(standing));
    auto* swatch = new QLabel(entry);
    swatch->setPixmap(square);
    layout->addWidget(swatch);
    layout->addWidget(new QLabel(name, entry));
    return entry;
}

QString questionStart(const QuestionBank& bank, int q) {
    QString text = bank.BankQuestion.value(q);
    if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
    return text;
}

}  // namespace

ProgressPage::ProgressPage(const QuestionBank& bank, const SharedValues& values,
                           MemoryLookup memory, QWidget* parent)
    : QWidget(parent),
      m_bank(bank),
      m_values(values),
      m_memory(std::move(memory)),
      m_title(new QLabel(this)),
      m_map(new ProgressMap(this)),
      m_bars(new GroupBars(this)),
      m_barsTitle(heading(QString(), this)),
      m_chart(new ScoreChart(this)),
      m_days(new DayHeatMap(this)),
      m_wrong(new QListWidget(this)) {
    setObjectName(QStringLiteral("progressPage"));
    setWindowTitle(QStringLiteral("学习进度"));
    m_wrong->setObjectName(QStringLiteral("mostWrongList"));
    m_title->setObjectName(QStringLiteral("progressTitle"));
    m_wrong->setAccessibleName(QStringLiteral("答错最多的二十题"));
    m_map->setAccessibleName(QStringLiteral("题目地图"));
    m_bars->setAccessibleName(QStringLiteral("各章进度"));
    m_chart->setAccessibleName(QStringLiteral("模拟考试成绩"));
    m_days->setAccessibleName(QStringLiteral("近十二周每天答题数"));

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(m_title);
    layout->addWidget(heading(QStringLiteral("题目地图"), content));
    layout->addWidget(m_map);
    auto* legend = new QHBoxLayout;
    legend->addWidget(legendEntry({StudyState::New, 0}, QStringLiteral("新题"), content));
    legend->addWidget(legendEntry({StudyState::Learning, 0}, QStringLiteral("学习中"), content));
    legend->addWidget(
        legendEntry({StudyState::Known, 0.7}, QStringLiteral("已掌握（快忘了）"), content));
    legend->addWidget(
        legendEntry({StudyState::Known, 1}, QStringLiteral("已掌握（记得牢）"), content));
    legend->addWidget(legendEntry({StudyState::Lapsed, 0}, QStringLiteral("忘了重学"), content));
    legend->addStretch(1);
    layout->addLayout(legend);
    layout->addWidget(m_barsTitle);
    layout->addWidget(m_bars);
    layout->addWidget(heading(QStringLiteral("模拟考试成绩"), content));
    layout->addWidget(m_chart);
    auto* lower = new QHBoxLayout;
    auto* daysColumn = new QVBoxLayout;
    daysColumn->addWidget(heading(QStringLiteral("近十二周每天答题数"), content));
    daysColumn->addWidget(m_days);
    daysColumn->addStretch(1);
    auto* wrongColumn = new QVBoxLayout;
    wrongColumn->addWidget(heading(QStringLiteral("答错最多的二十题"), content));
    wrongColumn->addWidget(m_wrong);
    lower->addLayout(daysColumn);
    lower->addLayout(wrongColumn, 1);
    layout->addLayout(lower);
    layout->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    connect(m_map, &ProgressMap::questionClicked, this, &ProgressPage::openQuestion);
    const auto open = [this](QListWidgetItem* item) {
        const QString id = item->data(Qt::UserRole).toString();
        if (!id.isEmpty()) emit openQuestion(id);
    };
    connect(m_wrong, &QListWidget::itemActivated, this, open);
    connect(m_wrong, &QListWidget::itemClicked, this, open);
    reload();
}

void ProgressPage::setClock(std::function<QDateTime()> now) {
    m_now = std::move(now);
    reload();
}

void ProgressPage::reload() {
    const QDateTime local = m_now();
    // In UTC for the recall of every question: no look-up of the zone each.
    const QDateTime now = local.toUTC();
    const BankRows rows = zoma::bankRows(m_bank);
    const QString& level = m_values.PracticeLevel;
    m_title->setText(
        QStringLiteral("%1　%2 版题库　共 %3 题").arg(level, rows.edition).arg(rows.rows.size()));

    QList<MapCell> cells;
    cells.reserve(rows.rows.size());
    for (const BankRow& row : rows.rows) {
        const QString id = m_bank.BankId.value(row.number);
        const QuestionMemory* memory = m_memory ? m_memory(id) : nullptr;
        cells.append({id, zoma::standingText(id, memory, now), questionStart(m_bank, row.number),
                      zoma::standing(memory, now)});
    }
    // What the pictures show, for a screen reader.
    int counts[4] = {};
    for (const MapCell& cell : cells) ++counts[int(cell.standing.state)];
    m_map->setAccessibleDescription(QStringLiteral("新题 %1，学习中 %2，已掌握 %3，忘了重学 %4")
                                        .arg(counts[int(StudyState::New)])
                                        .arg(counts[int(StudyState::Learning)])
                                        .arg(counts[int(StudyState::Known)])
                                        .arg(counts[int(StudyState::Lapsed)]));
    m_map->setCells(std::move(cells));

    m_barsTitle->setText(rows.hasChapters()
                             ? QStringLiteral("各章进度（掌握 / 学习中 / 新题）")
                             : QStringLiteral("各段题号进度（掌握 / 学习中 / 新题）"));
    const QList<GroupCounts> groups = zoma::groupCounts(m_bank, rows, m_memory, now);
    QStringList said;
    for (const GroupCounts& g : groups) {
        said.append(QStringLiteral("%1：掌握 %2，学习中 %3，新题 %4")
                        .arg(g.name)
                        .arg(g.known)
                        .arg(g.learning)
                        .arg(g.fresh));
    }
    m_bars->setAccessibleDescription(said.join(QStringLiteral("；")));
    m_bars->setGroups(groups);

    Edition edition = Edition::Earlier;
    zoma::editionFromKey(rows.edition, &edition);
    QString problem;
    const ExamRule rule = RuleSettings(m_values.folder().appFile(RuleSettings::FileName))
                              .load(edition, level, &problem);
    ExamHistory history(m_values.folder().appFile(ExamHistory::FileName));
    problem.clear();
    if (!history.load(&problem)) {
        problem = QStringLiteral("考试记录无法读取：%1").arg(problem);
    }
    const QList<ScorePoint> points = zoma::scorePoints(history.lines(), level, rows.edition);
    m_chart->setAccessibleDescription(
        points.isEmpty() ? QStringLiteral("没有考试记录")
                         : QStringLiteral("共 %1 次考试，最近一次 %2 分，合格线 %3 分")
                               .arg(points.size())
                               .arg(points.last().score)
                               .arg(rule.passMark));
    m_chart->setPoints(points, rule.passMark, problem);

    m_days->setCounts(
        zoma::answersPerDay(m_bank, rows, m_memory, local.date(), DayHeatMap::Weeks * 7),
        local.date());

    m_wrong->clear();
    for (const WrongQuestion& w : zoma::mostWrong(m_bank, rows, m_memory, WrongCount)) {
        const std::optional<int> q = zoma::questionNumber(w.id);
        QString text = q ? m_bank.BankQuestion.value(*q) : QString();
        if (text.size() > 50) text = text.left(50) + QStringLiteral("…");
        auto* item = new QListWidgetItem(
            QStringLiteral("%1　错 %2 次　%3").arg(w.id).arg(w.wrong).arg(text), m_wrong);
        item->setData(Qt::UserRole, w.id);
    }
    if (m_wrong->count() == 0) {
        auto* item = new QListWidgetItem(QStringLiteral("还没有答错过的题"), m_wrong);
        item->setFlags(Qt::NoItemFlags);
    }
}
