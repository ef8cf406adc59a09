// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/regular_file.h"

#include "common/system_error.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include "common/windows_file.h"
#endif

namespace {

const QString kNotRegular = QStringLiteral("不是普通文件");

#ifdef Q_OS_UNIX
QString openReason(int code) {
    // What a FIFO without a writer or a device answers to a read that must
    // not wait.
    if (code == ENXIO || code == ENODEV) return kNotRegular;
    return zoma::errnoReason(code);
}
#endif

}  // namespace

QString zoma::tooLargeReason(qint64 maxSize) {
    constexpr qint64 kMiB = 1024 * 1024;
    if (maxSize >= kMiB && maxSize % kMiB == 0)
        return QStringLiteral("文件过大，超过 %1 MB").arg(maxSize / kMiB);
    return QStringLiteral("文件过大，超过 %1 字节").arg(maxSize);
}

bool zoma::openRegularFile(const QString& path, QFile* file, QString* error) {
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a FIFO without a writer would wait forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = openReason(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *error = kNotRegular;
        return false;
    }
    // A regular file never blocks, so the flag may stay; QFile takes the descriptor.
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = zoma::qtReason(file->errorString());
        return false;
    }
    return true;
#elif defined(Q_OS_WIN)
    return zoma::windows::openRegularFile(path, file, error);
#else
    if (!QFileInfo(path).isFile()) {
        *error = QFileInfo::exists(path) ? kNotRegular : zoma::errnoReason(ENOENT);
        return false;
    }
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = zoma::qtReason(file->errorString());
        return false;
    }
    return true;
#endif
}

bool zoma::readRegularFile(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error) {
    QFile file;
    if (!zoma::openRegularFile(path, &file, error)) return false;
    if (file.size() > maxSize) {
        *error = zoma::tooLargeReason(maxSize);
        return false;
    }
    try {
        // Room for one byte more than the size shows a file that grew since.
        QByteArray data(qsizetype(file.size() + 1), Qt::Uninitialized);
        qint64 got = 0;
        for (;;) {
            if (got == data.size()) {
                if (got > maxSize) break;
                data.resize(qsizetype(std::min(maxSize + 1, got * 2)));
            }
            const qint64 n = file.read(data.data() + got, data.size() - got);
            if (n < 0) {
                *error = zoma::qtReason(file.errorString());
                return false;
            }
            if (n == 0) break;
            got += n;
        }
        if (got > maxSize) {
            *error = zoma::tooLargeReason(maxSize);
            return false;
        }
        data.truncate(qsizetype(got));
        *bytes = std::move(data);
    } catch (const std::bad_alloc&) {
        *error = QStringLiteral("内存不足");
        return false;
    }
    return true;
}

bool zoma::isWindowsDeviceName(QStringView fileName) {
    const qsizetype dot = fileName.indexOf(u'.');
    const QString name =
        fileName.left(dot < 0 ? fileName.size() : dot).trimmed().toString().toUpper();
    static const QStringList plain = {QStringLiteral("CON"),    QStringLiteral("PRN"),
                                      QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                      QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (plain.contains(name)) return true;
    return name.size() == 4 &&
           (name.startsWith(QLatin1String("COM")) || name.startsWith(QLatin1String("LPT"))) &&
           name[3] >= u'0' && name[3] <= u'9';
}
