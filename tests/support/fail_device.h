// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBuffer>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// A device that takes its first capacity bytes and refuses the rest, as a
// disk that fills up does: a short write, then an error.
class FailDevice final : public QBuffer {
public:
    explicit FailDevice(qint64 capacity) : m_capacity(capacity) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        const qint64 room = m_capacity - pos();
        if (room <= 0) {
            // In the words a file on a full disk uses.
#ifdef Q_OS_WIN
            setErrorString(qt_error_string(ERROR_DISK_FULL));
#else
            setErrorString(qt_error_string(ENOSPC));
#endif
            return -1;
        }
        return QBuffer::writeData(data, std::min(length, room));
    }

private:
    qint64 m_capacity;
};
