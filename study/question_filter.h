// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace zoma {

// Text as the bank browser searches it: lower case, full-width letters,
// digits and punctuation as their ASCII forms, the ideographic space as a
// blank, so that "Ａ１，" finds "a1,".
QString foldForSearch(QStringView text);

// Whether a chapter code falls under code: "1" and "1.1" take "1.1.1", "1.1"
// does not take "1.10". An empty code takes every chapter.
bool underChapter(QStringView chapter, QStringView code);

}  // namespace zoma

// What the bank browser shows: the rows whose folded text holds every word of
// the query, in the chosen chapter, and only favourites when asked.
class QuestionFilter final {
public:
    // Words are split at blanks (full-width ones too) and folded.
    void setQuery(QStringView query);
    void setChapter(const QString& code) { m_chapter = code; }
    void setFavouritesOnly(bool on) { m_favouritesOnly = on; }

    const QStringList& words() const { return m_words; }
    const QString& chapter() const { return m_chapter; }
    bool favouritesOnly() const { return m_favouritesOnly; }

    // haystack is the row's text already folded (zoma::foldForSearch).
    bool accepts(QStringView haystack, QStringView chapter, bool favourite) const;

private:
    QStringList m_words;
    QString m_chapter;
    bool m_favouritesOnly = false;
};
