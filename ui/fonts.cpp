// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace {

const QString kSongti = QStringLiteral("宋体");

// 宋体 where the machine has it, then the CJK fonts it does have, in order of
// likeness. Families that are not installed are left out: asking the font
// system for each of them costs more at start-up than drawing every caption
// (see BENCHMARKS.md).
const QStringList& songtiFamilies() {
    static const QStringList families = [] {
        const QStringList wanted = {
            kSongti,
            QStringLiteral("SimSun"),
            QStringLiteral("NSimSun"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("AR PL UMing CN"),
        };
        const QStringList installed = QFontDatabase::families();
        QStringList found;
        for (const QString& family : wanted) {
            if (installed.contains(family, Qt::CaseInsensitive)) found << family;
        }
        return found.isEmpty() ? QStringList{kSongti} : found;
    }();
    return families;
}

}  // namespace

QFont zoma::songti(qreal pointSize) {
    QFont font;
    font.setFamilies(songtiFamilies());
    font.setPointSizeF(pointSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void zoma::installFontFallbacks() {
    QFont::insertSubstitutions(kSongti, songtiFamilies());
    // Chinese captions in the default font then find their glyphs at once,
    // without a search through every font of the machine.
    QFont font = QApplication::font();
    font.setFamilies(QStringList{font.family()} + songtiFamilies());
    font.setHintingPreference(QFont::PreferNoHinting);
    QApplication::setFont(font);
}
