// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/picture_sheet.h"

#include <QSet>

#include <algorithm>

namespace zoma {

namespace {

// The caption under an image: the word whose top is nearest below the
// image's bottom among those that share some width with it; in a row of
// words about as near, the one that shares the most.
int captionBelow(const PdfImage& image, const QList<PdfWord>& words) {
    const QRectF& box = image.box;
    double bestGap = 0;
    QList<int> near;
    for (int i = 0; i < words.size(); ++i) {
        const PdfWord& w = words[i];
        if (w.page != image.page || w.text.trimmed().isEmpty()) continue;
        const double overlap =
            std::min(box.right(), w.box.right()) - std::max(box.left(), w.box.left());
        if (overlap <= 0) continue;
        // A caption may touch the picture, not stand above its middle.
        const double gap = w.box.top() - box.bottom();
        if (w.box.center().y() < box.bottom() - w.box.height() / 2 || gap > box.height()) continue;
        near.append(i);
        if (near.size() == 1 || gap < bestGap) bestGap = gap;
    }
    int best = -1;
    double bestOverlap = 0;
    for (int i : near) {
        const PdfWord& w = words[i];
        if (w.box.top() - box.bottom() > bestGap + w.box.height() / 2) continue;
        const double overlap =
            std::min(box.right(), w.box.right()) - std::max(box.left(), w.box.left());
        if (best < 0 || overlap > bestOverlap) {
            best = i;
            bestOverlap = overlap;
        }
    }
    return best;
}

// How a label is written: its leading letters and the number of digits after them.
struct LabelShape {
    QString letters;
    int digits = 0;
    bool operator==(const LabelShape&) const = default;
};
size_t qHash(const LabelShape& s, size_t seed = 0) {
    return qHashMulti(seed, s.letters, s.digits);
}

LabelShape shapeOf(const QString& label) {
    qsizetype i = 0;
    while (i < label.size() && label[i].isLetter() && label[i].unicode() < 128) ++i;
    LabelShape s{label.first(i), int(label.size() - i)};
    if (i == 0 || s.digits == 0) return {};
    for (qsizetype k = i; k < label.size(); ++k) {
        if (label[k] < u'0' || label[k] > u'9') return {};
    }
    return s;
}

// The one label written like both neighbours that lies between them, or
// empty when there is none or more than one.
QString onlyBetween(const QString& before, const QString& after) {
    const LabelShape a = shapeOf(before);
    if (a.digits == 0 || !(a == shapeOf(after))) return {};
    const qlonglong low = before.sliced(a.letters.size()).toLongLong();
    const qlonglong high = after.sliced(a.letters.size()).toLongLong();
    if (high - low != 2) return {};
    return a.letters + QStringLiteral("%1").arg(low + 1, a.digits, 10, QLatin1Char('0'));
}

QString joined(const QStringList& labels) {
    return labels.join(QStringLiteral("、"));
}

}  // namespace

SheetPairing pairPictures(const QList<PdfImage>& images, const QList<PdfWord>& words,
                          const QStringList& labels) {
    SheetPairing out;
    QList<int> wordOf;
    for (int i = 0; i < images.size(); ++i) {
        const int w = captionBelow(images[i], words);
        // Drawings without a caption that are no JPEG are decoration.
        if (w < 0 && !images[i].jpeg) continue;
        if (w < 0) {
            out.errors << QStringLiteral("第%1页的第%2张图片下面没有标题")
                              .arg(images[i].page + 1)
                              .arg(i + 1);
            continue;
        }
        if (wordOf.contains(w)) {
            out.errors << QStringLiteral("标题“%1”下方的位置对应不止一张图片")
                              .arg(words[w].text.trimmed());
            continue;
        }
        wordOf.append(w);
        out.pictures.append({i, words[w].text.trimmed(), QString(), QString()});
    }
    if (!out.errors.isEmpty()) return out;

    // Exact captions first; the labels nobody has printed stay open.
    QStringList open = labels;
    open.removeDuplicates();
    for (SheetPicture& p : out.pictures) {
        if (!open.contains(p.caption)) continue;
        p.label = p.caption;
        open.removeOne(p.caption);
    }
    QStringList taken;
    for (const SheetPicture& p : out.pictures) {
        if (p.label.isEmpty() && labels.contains(p.caption)) {
            out.errors << QStringLiteral("标题“%1”出现了不止一次").arg(p.caption);
        }
        if (!p.label.isEmpty()) taken << p.label;
    }
    if (!out.errors.isEmpty()) return out;

    // A sheet may picture questions of levels not read in this import: a
    // caption written the way the labels are written is its own label.
    QSet<LabelShape> shapes;
    for (const QString& l : labels) {
        const LabelShape s = shapeOf(l);
        if (s.digits > 0) shapes.insert(s);
    }
    for (SheetPicture& p : out.pictures) {
        if (!p.label.isEmpty() || !shapes.contains(shapeOf(p.caption))) continue;
        if (taken.contains(p.caption)) {
            out.errors << QStringLiteral("标题“%1”出现了不止一次").arg(p.caption);
            continue;
        }
        p.label = p.caption;
        taken << p.label;
    }
    if (!out.errors.isEmpty()) return out;

    // Each rule may settle a caption that lets the next one settle another.
    for (bool progress = true; progress;) {
        progress = false;
        QList<int> unresolved;
        for (int i = 0; i < out.pictures.size(); ++i) {
            if (out.pictures[i].label.isEmpty()) unresolved.append(i);
        }
        for (int i : unresolved) {
            SheetPicture& p = out.pictures[i];
            QStringList fits;
            for (const QString& l : open) {
                if (!p.caption.isEmpty() && l.startsWith(p.caption)) fits << l;
            }
            QString rule = QStringLiteral("唯一以它开头的标签");
            if (fits.size() != 1) {
                QString before, after;
                for (int k = i - 1; k >= 0 && before.isEmpty(); --k) before = out.pictures[k].label;
                for (int k = i + 1; k < out.pictures.size() && after.isEmpty(); ++k) {
                    after = out.pictures[k].label;
                }
                fits.clear();
                for (const QString& l : open) {
                    if ((before.isEmpty() || before < l) && (after.isEmpty() || l < after))
                        fits << l;
                }
                rule = QStringLiteral("前后标题之间唯一的标签");
                if (fits.isEmpty()) {
                    const QString between = onlyBetween(before, after);
                    if (!between.isEmpty() && !taken.contains(between) &&
                        shapes.contains(shapeOf(between))) {
                        fits << between;
                    }
                }
            }
            if (fits.size() != 1 && unresolved.size() == 1 && open.size() == 1) {
                fits = open;
                rule = QStringLiteral("唯一剩下的标签");
            }
            if (fits.size() != 1) continue;
            p.label = fits.first();
            p.rule = rule;
            open.removeOne(p.label);
            taken << p.label;
            progress = true;
        }
    }
    for (const SheetPicture& p : out.pictures) {
        if (!p.label.isEmpty()) continue;
        out.errors << (open.isEmpty()
                           ? QStringLiteral("标题“%1”不是题库中的附图标签").arg(p.caption)
                           : QStringLiteral("标题“%1”无法确定是哪一个标签（尚未配对：%2）")
                                 .arg(p.caption, joined(open)));
    }
    return out;
}

}  // namespace zoma
