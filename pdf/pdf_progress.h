// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <atomic>

// Where a PDF import running on another thread has got to, and the user's
// wish to stop it. The import tells it each page it reads and asks before
// every page whether to go on; the window reads the place to show it. Lives
// in this header alone so that the program and the PDF module share it
// without linking each other.
class PdfProgress {
public:
    PdfProgress() = default;
    virtual ~PdfProgress() = default;
    Q_DISABLE_COPY_MOVE(PdfProgress)

    // Called by the import (on its own thread) before it reads a page; page
    // counts from 1.
    virtual void reading(const QString& fileName, int page, int pages) {
        const QMutexLocker lock(&m_mutex);
        m_fileName = fileName;
        m_page = page;
        m_pages = pages;
    }

    // The file and page being read, for the progress dialog; empty before
    // the first page.
    QString place() const {
        const QMutexLocker lock(&m_mutex);
        if (m_fileName.isEmpty()) return {};
        return QStringLiteral("正在读取%1：第%2页，共%3页")
            .arg(m_fileName)
            .arg(m_page)
            .arg(m_pages);
    }

    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

private:
    mutable QMutex m_mutex;
    QString m_fileName;
    int m_page = 0;
    int m_pages = 0;
    std::atomic<bool> m_cancelled{false};
};
