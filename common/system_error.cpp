// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/system_error.h"

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

struct Reason {
    int code;
    const char* text;  // UTF-8
};

// The failures a file operation meets; the rest keep the system's text.
constexpr Reason kErrnoReasons[] = {
    {EACCES, "没有权限"},
    {EPERM, "没有权限"},
    {ENOENT, "文件不存在"},
    {ENOSPC, "磁盘空间不足"},
#ifdef EDQUOT
    {EDQUOT, "超出磁盘配额"},
#endif
    {EROFS, "磁盘是只读的"},
    {EISDIR, "是一个文件夹"},
    {ENOTDIR, "路径中有一段不是文件夹"},
    {EEXIST, "文件已存在"},
    {ENOTEMPTY, "文件夹不是空的"},
    {ENAMETOOLONG, "文件名太长"},
    {ELOOP, "符号链接成环"},
    {EMFILE, "打开的文件太多"},
    {ENFILE, "打开的文件太多"},
    {ENOMEM, "内存不足"},
    {EIO, "读写磁盘出错"},
    {EBUSY, "文件正被其他程序使用"},
    {ETXTBSY, "文件正被其他程序使用"},
    {EAGAIN, "文件暂时无法使用"},
    {EFBIG, "文件太大"},
    {EOVERFLOW, "文件太大"},
    {EXDEV, "不在同一个磁盘上"},
    {EINVAL, "无效的参数"},
    {EINTR, "操作被中断"},
    {ENXIO, "设备不存在"},
    {ENODEV, "设备不存在"},
    {ETIMEDOUT, "操作超时"},
#ifdef ESTALE
    {ESTALE, "网络上的文件已失效"},
#endif
};

#ifdef Q_OS_WIN
constexpr Reason kWindowsReasons[] = {
    {ERROR_FILE_NOT_FOUND, "文件不存在"},
    {ERROR_PATH_NOT_FOUND, "文件不存在"},
    {ERROR_TOO_MANY_OPEN_FILES, "打开的文件太多"},
    {ERROR_ACCESS_DENIED, "没有权限"},
    {ERROR_NOT_ENOUGH_MEMORY, "内存不足"},
    {ERROR_OUTOFMEMORY, "内存不足"},
    {ERROR_WRITE_PROTECT, "磁盘是只读的"},
    {ERROR_NOT_READY, "设备未就绪"},
    {ERROR_CRC, "读写磁盘出错"},
    {ERROR_WRITE_FAULT, "读写磁盘出错"},
    {ERROR_READ_FAULT, "读写磁盘出错"},
    {ERROR_SHARING_VIOLATION, "文件正被其他程序使用"},
    {ERROR_LOCK_VIOLATION, "文件正被其他程序使用"},
    {ERROR_USER_MAPPED_FILE, "文件正被其他程序使用"},
    {ERROR_HANDLE_DISK_FULL, "磁盘空间不足"},
    {ERROR_DISK_FULL, "磁盘空间不足"},
#ifdef ERROR_DISK_QUOTA_EXCEEDED
    {ERROR_DISK_QUOTA_EXCEEDED, "超出磁盘配额"},
#endif
    {ERROR_NOT_SAME_DEVICE, "不在同一个磁盘上"},
    {ERROR_FILE_EXISTS, "文件已存在"},
    {ERROR_ALREADY_EXISTS, "文件已存在"},
    {ERROR_DIR_NOT_EMPTY, "文件夹不是空的"},
    {ERROR_INVALID_NAME, "文件名无效"},
    {ERROR_FILENAME_EXCED_RANGE, "文件名太长"},
    {ERROR_DIRECTORY, "不是文件夹"},
    {ERROR_BAD_NETPATH, "网络路径不存在"},
    {ERROR_DELETE_PENDING, "文件正在被删除"},
    {ERROR_CANT_RESOLVE_FILENAME, "符号链接成环"},
};
#endif

template <std::size_t N>
const char* find(const Reason (&reasons)[N], int code) {
    for (const Reason& r : reasons) {
        if (r.code == code) return r.text;
    }
    return nullptr;
}

// "系统错误 121：Remote I/O error": the number finds it in any language.
QString unknown(long long code, const QString& systemText) {
    return QStringLiteral("系统错误 %1：%2").arg(code).arg(systemText);
}

}  // namespace

QString zoma::errnoReason(int code) {
    if (const char* text = find(kErrnoReasons, code)) return QString::fromUtf8(text);
    return unknown(code, qt_error_string(code));
}

#ifdef Q_OS_WIN
QString zoma::windowsReason(unsigned long code) {
    if (const char* text = find(kWindowsReasons, int(code))) return QString::fromUtf8(text);
    return unknown(code, qt_error_string(int(code)));
}
#endif

QString zoma::systemReason(const std::error_code& code) {
#ifdef Q_OS_WIN
    if (code.category() == std::system_category()) return windowsReason(code.value());
#endif
    return errnoReason(code.value());
}

QString zoma::qtReason(const QString& text) {
    // Qt's text for a system failure is qt_error_string() of its code: find
    // the code that gives this text.
#ifdef Q_OS_WIN
    for (const Reason& r : kWindowsReasons) {
        if (qt_error_string(r.code) == text) return QString::fromUtf8(r.text);
    }
#else
    for (const Reason& r : kErrnoReasons) {
        if (qt_error_string(r.code) == text) return QString::fromUtf8(r.text);
    }
    // Past the last number any system uses today.
    for (int code = 1; code < 256; ++code) {
        if (qt_error_string(code) == text) return unknown(code, text);
    }
#endif
    return text;
}
