// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace zoma {

// Every picture the program shows or prints is read here: only a regular
// file of bounded size is opened (a FIFO or a device is refused at once, never
// waited on), and it is decoded from memory.

// The picture at path, decoded. A picture larger than box (when box is
// valid) is decoded at a size that fits it, stretched or keeping its aspect
// as mode says: a JPEG decodes at a fraction of its size much faster than
// whole (see BENCHMARKS.md). A file that cannot be read gives a null image
// and the reason in *problem; one that reads but does not decode gives a
// null image and leaves *problem empty.
QImage readPicture(const QString& path, QSize box, Qt::AspectRatioMode mode, QString* problem);

// The same as a pixmap for a box of that many device-independent pixels on
// a screen of that pixel ratio, kept in QPixmapCache until the file changes:
// a window that shows one question twice decodes its picture once.
QPixmap showPicture(const QString& path, QSize box, qreal ratio, Qt::AspectRatioMode mode,
                    QString* problem);

// Shows the picture at path in label, fitted into box with its aspect kept;
// the label is hidden when there is none, or none that can be read.
void showPictureIn(QLabel* label, const QString& path, QSize box);

}  // namespace zoma
