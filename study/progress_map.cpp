// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/progress_map.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kGap = 2;

QString cellTip(const MapCell& cell) {
    return cell.said + u'\n' + cell.question;
}

// A square to a screen reader: an item of the map's list, named by its words.
class CellAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(ProgressMap* map, int index) : m_map(map), m_index(index) {}

    bool isValid() const override { return m_map && m_index < m_map->cells().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_map ? m_map->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_map.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const MapCell& cell = m_map->cells()[m_index];
        if (t == QAccessible::Name) return cell.said;
        if (t == QAccessible::Description) return cell.question;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = m_map->cellRect(m_index);
        return {m_map->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        s.selectable = true;
        const bool current = isValid() && m_map->current() == m_index;
        s.focused = current && m_map->hasFocus();
        s.selected = current;
        s.invisible = !isValid() || !m_map->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (!isValid()) return;
        if (name == pressAction()) {
            m_map->open(m_index);
        } else if (name == setFocusAction()) {
            m_map->setFocus();
            m_map->setCurrent(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ProgressMap> m_map;
    int m_index;
};

// The map as a list of its squares. Their interfaces are made when first
// asked for and stay until the map goes: a square's words are read from the
// map each time, so that a new answer shows at once.
class MapAccessible final : public QAccessibleWidget {
public:
    explicit MapAccessible(ProgressMap* map) : QAccessibleWidget(map, QAccessible::List) {}
    ~MapAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(map()->cells().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto it = m_cells.constFind(index);
        if (it == m_cells.cend()) {
            it = m_cells.insert(
                index, QAccessible::registerAccessibleInterface(new CellAccessible(map(), index)));
        }
        return QAccessible::accessibleInterface(*it);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
            if (QAccessible::accessibleInterface(*it) == child) return it.key();
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(map()->cellAt(map()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return map()->hasFocus() ? child(map()->current()) : nullptr;
    }

private:
    ProgressMap* map() const { return static_cast<ProgressMap*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* mapFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("ProgressMap") && object && object->isWidgetType())
        return new MapAccessible(static_cast<ProgressMap*>(object));
    return nullptr;
}

}  // namespace

QColor zoma::standingColour(const QuestionStanding& standing) {
    switch (standing.state) {
        case StudyState::New:
            return QColor(0xa8, 0xa8, 0xa8);
        case StudyState::Learning:
            return QColor(0xf0, 0xa0, 0x30);
        case StudyState::Lapsed:
            return QColor(0xd8, 0x40, 0x40);
        case StudyState::Known:
            break;
    }
    // Pale green for a fading memory (at or below the lowest retention a user
    // may ask for), deep green for a fresh one.
    const double t = std::clamp((standing.retrievability - 0.7) / 0.3, 0.0, 1.0);
    const auto mix = [t](int pale, int deep) { return int(pale + (deep - pale) * t + 0.5); };
    return QColor(mix(0xb8, 0x1a), mix(0xe6, 0x8c), mix(0xa0, 0x3a));
}

QString zoma::standingText(const QString& id, const QuestionMemory* memory, const QDateTime& now) {
    const CardState state = memory ? memory->card.state : CardState::New;
    if (state == CardState::New) return id + QStringLiteral(" 新题，还没有答过");
    const Card& card = memory->card;
    // The legend's names, so that the words and the colours agree.
    const QString name = state == CardState::Review       ? QStringLiteral("已掌握")
                         : state == CardState::Relearning ? QStringLiteral("忘了重学")
                                                          : QStringLiteral("学习中");
    QString due;
    const QDateTime at = card.due.toLocalTime();
    const QDate today = now.toLocalTime().date();
    if (card.due <= now) {
        due = QStringLiteral("已到期");
    } else if (at.date() == today) {
        due = QStringLiteral("下次复习 今天 %1").arg(at.toString(QStringLiteral("HH:mm")));
    } else {
        due =
            QStringLiteral("下次复习 %1")
                .arg(at.toString(at.date().year() == today.year() ? QStringLiteral("MM-dd")
                                                                  : QStringLiteral("yyyy-MM-dd")));
    }
    return QStringLiteral("%1 %2，记忆概率 %3%，%4")
        .arg(id, name)
        .arg(qRound(zoma::retrievability(card, now) * 100))
        .arg(due);
}

ProgressMap::ProgressMap(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(mapFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("progressMap"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ProgressMap::setCells(QList<MapCell> cells) {
    m_cells = std::move(cells);
    m_colours.clear();
    m_colours.reserve(m_cells.size());
    for (const MapCell& cell : m_cells) m_colours.append(zoma::standingColour(cell.standing));
    if (m_current >= m_cells.size()) m_current = m_cells.isEmpty() ? -1 : 0;
    updateGeometry();
    update();
}

void ProgressMap::setCurrent(int index) {
    if (index < 0 || index >= m_cells.size()) return;
    if (m_current >= 0) update(cellRect(m_current).adjusted(-kGap, -kGap, kGap, kGap));
    m_current = index;
    const QRect r = cellRect(index);
    update(r.adjusted(-kGap, -kGap, kGap, kGap));
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w); area && area->widget()) {
            const QPoint centre = mapTo(area->widget(), r.center());
            area->ensureVisible(centre.x(), centre.y(), r.width() * 2, r.height() * 2);
            break;
        }
    }
    if (hasFocus()) {
        // What the pointer's hovering shows, for one who moves with the keys.
        QToolTip::showText(mapToGlobal(r.bottomRight()), cellTip(m_cells[index]), this, r);
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

void ProgressMap::open(int index) {
    if (index >= 0 && index < m_cells.size()) emit questionClicked(m_cells[index].id);
}

int ProgressMap::pitch() const {
    // Grows with the text, so that Ctrl++ makes the squares easier to hit.
    return std::max(8, fontMetrics().height() * 3 / 4) + kGap;
}

int ProgressMap::columns(int width) const {
    return std::max(1, (width + kGap) / pitch());
}

int ProgressMap::heightForWidth(int width) const {
    const int n = int(m_cells.size());
    return (n + columns(width) - 1) / columns(width) * pitch();
}

QSize ProgressMap::sizeHint() const {
    const int w = 50 * pitch();
    return {w, heightForWidth(w)};
}

QRect ProgressMap::cellRect(int index) const {
    const int c = columns(width()), p = pitch();
    return {index % c * p, index / c * p, p - kGap, p - kGap};
}

int ProgressMap::cellAt(const QPoint& point) const {
    const int p = pitch();
    if (point.x() < 0 || point.y() < 0 || point.x() % p >= p - kGap || point.y() % p >= p - kGap) {
        return -1;
    }
    const int c = columns(width());
    if (point.x() / p >= c) return -1;
    const int i = point.y() / p * c + point.x() / p;
    return i < m_cells.size() ? i : -1;
}

bool ProgressMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int i = cellAt(help->pos());
        if (i < 0) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), cellTip(m_cells[i]), this, cellRect(i));
        }
        return true;
    }
    return QWidget::event(event);
}

void ProgressMap::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int c = columns(width()), p = pitch();
    // Only the rows the event asks for: a scrolled map repaints a strip.
    const int firstRow = std::max(0, event->rect().top() / p);
    const int lastRow = event->rect().bottom() / p;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < c; ++col) {
            const int i = row * c + col;
            if (i >= m_cells.size()) break;
            painter.fillRect(col * p, row * p, p - kGap, p - kGap, m_colours[i]);
        }
    }
    if (hasFocus() && m_current >= 0) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(cellRect(m_current).adjusted(-1, -1, 0, 0));
    }
}

void ProgressMap::mouseReleaseEvent(QMouseEvent* event) {
    const int i = event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : -1;
    if (i < 0) return;
    m_current = i;
    update();
    open(i);
}

void ProgressMap::keyPressEvent(QKeyEvent* event) {
    const int c = columns(width()), last = int(m_cells.size()) - 1;
    int to = m_current;
    switch (event->key()) {
        case Qt::Key_Left:
            to = m_current - 1;
            break;
        case Qt::Key_Right:
            to = m_current + 1;
            break;
        case Qt::Key_Up:
            to = m_current - c;
            break;
        case Qt::Key_Down:
            to = m_current + c;
            break;
        case Qt::Key_Home:
            to = 0;
            break;
        case Qt::Key_End:
            to = last;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            open(m_current);
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    if (to >= 0 && to <= last) setCurrent(to);
}

void ProgressMap::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // A click chooses its own square; scrolling to another would move it away.
    if (event->reason() != Qt::MouseFocusReason) setCurrent(std::max(m_current, 0));
}

void ProgressMap::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (m_current >= 0) update(cellRect(m_current).adjusted(-kGap, -kGap, kGap, kGap));
}
