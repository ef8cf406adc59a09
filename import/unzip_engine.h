// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>

// The extraction engine behind the unzip bridge: the two entries and records
// of the UnZip library's interface, served by our own code over libzip.
//
// Texts cross this boundary as zero-terminated strings in the platform's
// narrow encoding (UTF-8 on Linux, the ANSI code page on Windows).

// Result numbers of windll_unzip, as UnZip gives them.
namespace UnzipResult {
constexpr int Ok = 0;
constexpr int Warning = 1;        // some entries were skipped and named
constexpr int ArchiveError = 2;   // an entry's data is damaged
constexpr int ArchiveBroken = 3;  // the archive's records are damaged
constexpr int NotArchive = 9;     // not a zip archive, or not found
constexpr int BadOptions = 10;    // the options, or a target that is not a folder
constexpr int NoMatch = 11;       // no entry to extract
constexpr int Overlap = 12;       // entries share data: nothing written
constexpr int DiskFull = 50;      // too large, or a write failed
constexpr int Cancelled = 80;
constexpr int Unsupported = 81;   // compression method not supported
constexpr int NeedPassword = 82;  // every entry needed a password
}  // namespace UnzipResult

// Answers of the replace call-back; any other number counts as No.
namespace UnzipReplaceAnswer {
constexpr int No = 100;    // keep this existing file, ask again for the next
constexpr int Yes = 102;   // overwrite this file
constexpr int None = 104;  // keep this and every further existing file, without asking
}  // namespace UnzipReplaceAnswer

// The password call-back returns this when it has put a password into the buffer.
constexpr int UnzipPasswordEntered = 0;

struct UnzipOptions {
    qint32 update = 0;
    qint32 spacesToUnderscores = 0;
    qint32 promptOverwrite = 0;
    qint32 quietness = 0;
    qint32 toStandardOutput = 0;
    qint32 testOnly = 0;
    qint32 listOnly = 0;
    qint32 freshen = 0;
    qint32 showComment = 0;
    qint32 honourDirectories = 0;
    qint32 overwriteExisting = 0;
    qint32 translateLineEnds = 0;
    qint32 detailedInfo = 0;
    qint32 ignoreCase = 0;
    qint32 restoreAccess = 0;
    const char* archivePath = nullptr;
    const char* targetDir = nullptr;
};

// One line of progress or trouble; returns 0.
using UnzipPrintFn = qint32 (*)(const char* text, quint32 length);
using UnzipSoundFn = void (*)();
// The name of an existing file an entry would overwrite; returns an UnzipReplaceAnswer.
using UnzipReplaceFn = qint32 (*)(const char* name);
// Asked once per encrypted entry; UnzipPasswordEntered when buffer holds a password.
using UnzipPasswordFn = qint32 (*)(char* buffer, qint32 bufferSize, const char* prompt,
                                   const char* name);
// One call per entry: sizes, date and time of the entry, its stored name.
using UnzipEntryFn = void (*)(qint32 size, qint32 compressedSize, qint32 ratioPerMille,
                              qint32 month, qint32 day, qint32 year, qint32 hour, qint32 minute,
                              qint32 encrypted, const char* name, const char* method, qint32 crc,
                              qint32 directory);
// Before each entry is extracted; a non-zero answer stops the extraction.
using UnzipServiceFn = qint32 (*)(const char* name, quint32 size);

struct UnzipCallbacks {
    UnzipPrintFn print = nullptr;
    UnzipSoundFn sound = nullptr;
    UnzipReplaceFn replace = nullptr;
    UnzipPasswordFn password = nullptr;
    UnzipEntryFn entry = nullptr;
    UnzipServiceFn service = nullptr;
};

struct UnzipVersionInfo {
    quint32 length = 0;  // set by the caller: the size of this record
    quint32 flags = 0;
    std::array<char, 10> betaLevel{};
    std::array<char, 20> date{};
    std::array<char, 10> libraryVersion{};
    std::array<quint8, 4> engineVersion{};
    std::array<quint8, 4> listingVersion{};
    quint32 reserved = 0;
    std::array<quint8, 4> interfaceVersion{};
};
static_assert(sizeof(UnzipVersionInfo) == 64);

// The component's two entries keep the global names of its interface, with
// C linkage: the program finds them in the engine's module by these names
// (common/module.h), as a library of the component's kind is used.
extern "C" {

// Fills in the version record when its length field says it is large enough.
void UzpVersion2(UnzipVersionInfo* info);

// Extracts (or lists) the archive of options->archivePath into
// options->targetDir. The first includeCount names of includeNames select the
// entries to take (0: all), the first excludeCount names of excludeNames the
// entries to leave out; a null pointer within a count is a bad option.
// Never writes outside the target folder, and never loses an existing file to
// an entry that fails.
qint32 windll_unzip(qint32 includeCount, const char* const* includeNames, qint32 excludeCount,
                    const char* const* excludeNames, const UnzipOptions* options,
                    const UnzipCallbacks* callbacks);

using UzpVersion2Fn = void (*)(UnzipVersionInfo* info);
using WindllUnzipFn = qint32 (*)(qint32 includeCount, const char* const* includeNames,
                                 qint32 excludeCount, const char* const* excludeNames,
                                 const UnzipOptions* options, const UnzipCallbacks* callbacks);
}

// The most a single extraction writes, whatever the disk holds.
constexpr quint64 UnzipBudget = quint64(2) * 1024 * 1024 * 1024;
