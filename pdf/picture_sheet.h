// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pdf/pdf_document.h"

#include <QList>
#include <QString>
#include <QStringList>

// A picture of the sheet and the label it was paired with.
struct SheetPicture {
    int image = -1;   // index into the sheet's images
    QString caption;  // as printed
    QString label;
    QString rule;  // why a caption that is no label was read as this one; empty otherwise
};

struct SheetPairing {
    QList<SheetPicture> pictures;  // in the sheet's order
    QStringList errors;            // empty when every picture has its label
};

namespace zoma {

// Pairs each picture with the caption just below it and reads the caption
// as one of the labels. A caption that is no label is resolved by rules that
// need nothing but the labels and the sheet's order: the start of exactly
// one open label; the only open label between its neighbours; the last one
// left. Two possible labels are never guessed between.
SheetPairing pairPictures(const QList<PdfImage>& images, const QList<PdfWord>& words,
                          const QStringList& labels);

}  // namespace zoma
