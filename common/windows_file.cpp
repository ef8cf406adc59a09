// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/windows_file.h"

#include "common/regular_file.h"
#include "common/system_error.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Old SDK headers lack these attribute bits.
#ifndef FILE_ATTRIBUTE_RECALL_ON_OPEN
#define FILE_ATTRIBUTE_RECALL_ON_OPEN 0x00040000
#endif
#ifndef FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
#define FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS 0x00400000
#endif

namespace {

const QString kNotRegular = QStringLiteral("不是普通文件");
const QString kInUse = QStringLiteral("文件正被其他程序使用，请关闭那个程序后再试");

QString openReason(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return QStringLiteral("文件不存在");
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return kInUse;
        case ERROR_CANT_RESOLVE_FILENAME:
            return QStringLiteral("符号链接成环");
        case ERROR_DIRECTORY:
            return QStringLiteral("路径中有一段不是文件夹");
        case ERROR_PIPE_BUSY:
            return kNotRegular;
        default:
            return zoma::windowsReason(code);
    }
}

// CON, NUL, COM1, LPT1.txt...: names Windows gives to devices in any
// folder. Never opened: opening a serial port or the console can itself do
// something, or wait.
bool isDeviceName(const QString& path) {
    return zoma::isWindowsDeviceName(QFileInfo(QDir::fromNativeSeparators(path)).fileName());
}

HANDLE openForReading(const std::wstring& path, DWORD flags) {
    // Others may go on reading, writing or renaming it while it is read.
    return CreateFileW(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, flags, nullptr);
}

// Why the open file behind handle is no regular file here, or empty.
QString refusal(HANDLE handle, bool* isLink) {
    *isLink = false;
    // CON, NUL, COM1, a pipe: never a disk file.
    if (GetFileType(handle) != FILE_TYPE_DISK) return kNotRegular;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return openReason(GetLastError());
    const DWORD attributes = info.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kNotRegular;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
            (tag.ReparseTag == IO_REPARSE_TAG_SYMLINK ||
             tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT)) {
            *isLink = true;
            return {};
        }
    }
    // Reading it would wait for a download from the cloud or a tape.
    if (attributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_RECALL_ON_OPEN |
                      FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS))
        return QStringLiteral("文件不在本机上（需要先下载）");
    return {};
}

}  // namespace

std::wstring zoma::windows::nativePath(const QString& path) {
    QString native = QDir::toNativeSeparators(path);
    // The limit of the old functions, less room for a name the system adds.
    if (native.size() < MAX_PATH - 12 || native.startsWith(QLatin1String("\\\\?\\")))
        return native.toStdWString();
    native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.startsWith(QLatin1String("\\\\")))
        native = QStringLiteral("\\\\?\\UNC\\") + native.mid(2);
    else
        native.prepend(QLatin1String("\\\\?\\"));
    return native.toStdWString();
}

bool zoma::windows::openRegularFile(const QString& path, QFile* file, QString* error) {
    if (isDeviceName(path)) {
        *error = kNotRegular;
        return false;
    }
    const std::wstring native = nativePath(path);
    // First the entry itself: a link is followed only after its kind is known.
    HANDLE handle =
        openForReading(native, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = openReason(GetLastError());
        return false;
    }
    bool isLink = false;
    QString why = refusal(handle, &isLink);
    if (isLink) {
        CloseHandle(handle);
        handle = openForReading(native, FILE_FLAG_BACKUP_SEMANTICS);
        if (handle == INVALID_HANDLE_VALUE) {
            *error = openReason(GetLastError());
            return false;
        }
        why = refusal(handle, &isLink);
    }
    if (!why.isEmpty()) {
        CloseHandle(handle);
        *error = why;
        return false;
    }
    // Binary: the C library's text mode would turn CR LF into LF.
    const int fd = _open_osfhandle(intptr_t(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        *error = openReason(ERROR_TOO_MANY_OPEN_FILES);
        return false;
    }
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        *error = file->errorString();
        return false;
    }
    return true;
}

bool zoma::windows::replaceFile(const QString& from, const QString& to, QString* error) {
    const std::wstring source = nativePath(from);
    const std::wstring target = nativePath(to);
    DWORD code = ERROR_SUCCESS;
    // A virus scanner or the search indexer may hold the file for a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        code = GetLastError();
        if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION &&
            code != ERROR_LOCK_VIOLATION)
            break;
        Sleep(DWORD(20 * (attempt + 1)));
    }
    if (code == ERROR_ACCESS_DENIED) {
        // Denied is also what a file held open without leave to delete gives:
        // try to open it for deleting to tell the two apart.
        HANDLE probe = CreateFileW(target.c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_SHARING_VIOLATION) code = ERROR_SHARING_VIOLATION;
        } else {
            CloseHandle(probe);
        }
    }
    *error = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION
                 ? kInUse
                 : zoma::windowsReason(code);
    return false;
}
