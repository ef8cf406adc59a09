#include "app/fonts.h"

#include <QStringList>

namespace {
const QStringList& cjkFamilies() {
    static const QStringList families = {
        QStringLiteral("SimSun"),           QStringLiteral("NSimSun"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("AR PL UMing CN"),
    };
    return families;
}
}  // namespace

QFont songti(qreal pointSize) {
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("宋体")} + cjkFamilies());
    font.setPointSizeF(pointSize);
    return font;
}

void installFontFallbacks() {
    QFont::insertSubstitutions(QStringLiteral("宋体"), cjkFamilies());
}
