// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/question_filter.h"

namespace {

char16_t foldChar(char16_t c) {
    if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
    if (c == u'\t') return u' ';
    if (c >= 0xFF01 && c <= 0xFF5E) {  // full-width ASCII forms
        c = char16_t(c - 0xFF01 + 0x21);
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    switch (c) {
        case 0x3000:
            return u' ';  // ideographic space
        case 0x3002:
            return u'.';  // 。
        case 0x3001:
            return u',';  // 、
        case 0x2018:
        case 0x2019:
            return u'\'';  // ‘ ’
        case 0x201C:
        case 0x201D:
            return u'"';  // “ ”
        default:
            break;
    }
    // Other letters (Greek Ω, Cyrillic) fold by Qt's rules; CJK is left alone.
    if (c > 0x7F && c < 0x2E80) return QChar(c).toLower().unicode();
    return c;
}

}  // namespace

namespace zoma {

QString foldForSearch(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    for (qsizetype i = 0; i < text.size(); ++i) out[i] = foldChar(text[i].unicode());
    return folded;
}

bool underChapter(QStringView chapter, QStringView code) {
    if (code.isEmpty()) return true;
    if (!chapter.startsWith(code)) return false;
    return chapter.size() == code.size() || chapter[code.size()] == u'.';
}

}  // namespace zoma

void QuestionFilter::setQuery(QStringView query) {
    m_words = zoma::foldForSearch(query).split(u' ', Qt::SkipEmptyParts);
    for (QString& w : m_words) w = w.trimmed();
    m_words.removeAll(QString());
}

bool QuestionFilter::accepts(QStringView haystack, QStringView chapter, bool favourite) const {
    if (m_favouritesOnly && !favourite) return false;
    if (!zoma::underChapter(chapter, m_chapter)) return false;
    for (const QString& word : m_words) {
        if (!haystack.contains(word)) return false;
    }
    return true;
}
