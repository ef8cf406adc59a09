// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture.h"

#include "common/regular_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>

#include <new>

QImage zoma::readPicture(const QString& path, QSize box, Qt::AspectRatioMode mode,
                         QString* problem) {
    QByteArray bytes;
    if (!zoma::readRegularFile(path, kMaxFileSize, &bytes, problem)) return {};
    try {
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (box.isValid() && size.isValid() &&
            (size.width() > box.width() || size.height() > box.height()))
            reader.setScaledSize(size.scaled(box, mode));
        return reader.read();
    } catch (const std::bad_alloc&) {
        *problem = QStringLiteral("内存不足");
        return {};
    }
}

void zoma::showPictureIn(QLabel* label, const QString& path, QSize box) {
    QString problem;
    const QPixmap picture = path.isEmpty()
                                ? QPixmap()
                                : zoma::showPicture(path, box, label->devicePixelRatioF(),
                                                    Qt::KeepAspectRatio, &problem);
    if (picture.isNull()) {
        label->clear();
    } else {
        label->setPixmap(picture);
    }
    label->setVisible(!picture.isNull());
}

QPixmap zoma::showPicture(const QString& path, QSize box, qreal ratio, Qt::AspectRatioMode mode,
                          QString* problem) {
    const QFileInfo file(path);
    const QSize pixels = box * ratio;
    const QString key = QStringLiteral("zoma-picture:%1:%2:%3:%4x%5:%6")
                            .arg(path)
                            .arg(file.size())
                            .arg(file.lastModified().toMSecsSinceEpoch())
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(int(mode));
    QPixmap picture;
    if (QPixmapCache::find(key, &picture)) return picture;
    picture = QPixmap::fromImage(zoma::readPicture(path, pixels, mode, problem));
    picture.setDevicePixelRatio(ratio);
    if (!picture.isNull()) QPixmapCache::insert(key, picture);
    return picture;
}
