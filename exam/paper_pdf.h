// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/paper_layout.h"

#include <QHash>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPdfWriter;

// Writes papers as PDF through QPdfWriter: A4 portrait, the text as text in
// an embedded font (it can be searched and read aloud), the pictures at print
// resolution. Each picture is read once, however many papers show it.
// Qt 6.4 embeds only the glyphs used but tags the subset in the font
// descriptor's FontName alone ("QKCAAA+…"); both BaseFont entries keep the
// plain name, and QPdfWriter has no setting for it.
class PaperPdf final {
public:
    // A4 portrait with its margins, at kResolution: the device every layout
    // of the writer is made for.
    static void setUp(QPdfWriter& writer);

    // Pages painted so far and all pages of the write; false stops it.
    using Progress = std::function<bool(int done, int total)>;

    static constexpr int kResolution = 600;  // dots per inch of the page's coordinates

    // Reads the pictures of the papers' questions through the picture loader.
    void loadPictures(const QList<PrintPaper>& papers);
    // The questions printed without their picture, once each: "LK0001（LK0001.jpg：原因）".
    const QStringList& pictureProblems() const { return m_problems; }
    const QHash<QString, QImage>& pictures() const { return m_pictures; }

    // Writes the papers one after the other into out, which must be open for
    // writing. False with the reason when a write fails, or with an empty
    // reason when progress asked to stop; out then holds no complete file.
    bool write(const QList<PrintPaper>& papers, QIODevice& out, const Progress& progress,
               QString* error) const;

private:
    QHash<QString, QImage> m_pictures;  // path -> picture, null where it failed
    QStringList m_problems;
    QStringList m_reported;  // identifiers already in m_problems
};
