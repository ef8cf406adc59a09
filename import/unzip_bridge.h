// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QString>

#include <array>

// The link to the extraction engine: fills its records, calls it, answers its
// call-backs, and keeps what they report for the caller.
//
// This class and unzip_engine.h are the program's boundary with its
// extraction component. The public fields, the arguments of UnzipArchive, the
// call-back members and the result numbers exist for that boundary and keep
// its shape; the rest of the program sees only UnzipArchive and its result.
class UnzipBridge final {
    Q_DISABLE_COPY_MOVE(UnzipBridge)

public:
    static constexpr int NameListSize = 100;
    using UnzipNameList = std::array<QString, NameListSize>;

    static const QString ErrorPrefix;     // "错误代码："
    static const QString ReplaceCaption;  // caption of the overwrite question

    explicit UnzipBridge(Dialogs& dialogs) : m_dialogs(&dialogs) {}

    // The dialogs its question and errors go to from now on: a caller that
    // runs the engine on another thread gives ones that are shown on the
    // window's thread.
    void setDialogs(Dialogs& dialogs) { m_dialogs = &dialogs; }

    UnzipNameList UnzipIncludeNames;
    UnzipNameList UnzipExcludeNames;
    QString UnzipMessages;       // everything printed since the caller cleared it
    QString UnzipListing;        // a header line and one 80-column line per entry
    qint32 UnzipEntryCount = 0;  // entries reported since the caller set it to 0

    // UnzipArchive's result when the engine's module cannot be loaded; the
    // reason has been shown to the user.
    static constexpr int NoEngine = -1;

    // Extracts archivePath into targetDir through the engine. A non-zero
    // result has been shown to the user as "错误代码：" and the number.
    int UnzipArchive(const QString& archivePath, const QString& targetDir, qint16 promptOverwrite,
                     qint16 overwriteExisting, qint16 listOnly, qint16 honourDirectories,
                     qint32 includeCount, qint32 excludeCount);

    // What the call-backs do on this bridge; the engine reaches them while
    // UnzipArchive runs.
    qint32 UnzipPrint(const char* text, quint32 length);
    qint32 UnzipReplace(const char* name);
    static qint32 UnzipPassword(char* buffer, qint32 bufferSize, const char* prompt,
                                const char* name);
    void UnzipEntry(qint32 size, qint32 compressedSize, qint32 ratioPerMille, qint32 month,
                    qint32 day, qint32 year, qint32 hour, qint32 minute, qint32 encrypted,
                    const char* name, const char* method, qint32 crc, qint32 directory);

private:
    class Activation;

    Dialogs* m_dialogs;
};
