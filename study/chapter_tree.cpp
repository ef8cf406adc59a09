// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/chapter_tree.h"

#include <QHeaderView>

#include <algorithm>

namespace {

// 1.2 before 1.10.
bool codeLess(const QString& a, const QString& b) {
    const QList<QStringView> pa = QStringView(a).split(u'.'), pb = QStringView(b).split(u'.');
    for (qsizetype i = 0; i < std::min(pa.size(), pb.size()); ++i) {
        const int na = pa[i].toInt(), nb = pb[i].toInt();
        if (na != nb) return na < nb;
        if (pa[i] != pb[i]) return pa[i] < pb[i];
    }
    return pa.size() < pb.size();
}

}  // namespace

ChapterTree::ChapterTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("chapterTree"));
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("章节"), QStringLiteral("题数")});
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem*) { emit chapterChosen(chosen()); });
}

void ChapterTree::setChapters(const QMap<QString, int>& counts, int total) {
    const QSignalBlocker blocker(this);
    clear();
    auto* all = new QTreeWidgetItem(this, {QStringLiteral("全部"), QString::number(total)});
    QStringList codes = counts.keys();
    std::sort(codes.begin(), codes.end(), codeLess);
    QHash<QString, QTreeWidgetItem*> items;
    for (const QString& code : codes) {
        const qsizetype dot = code.lastIndexOf(u'.');
        QTreeWidgetItem* parent = dot < 0 ? nullptr : items.value(code.left(dot));
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, code);
        item->setText(1, QString::number(counts.value(code)));
        item->setData(0, Qt::UserRole, code);
        items.insert(code, item);
    }
    setCurrentItem(all);
}

QString ChapterTree::chosen() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}
