// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/unzip_bridge.h"

#include "common/module.h"
#include "import/entry_names.h"
#include "import/unzip_engine.h"

#include <limits>
#include <utility>

const QString UnzipBridge::ErrorPrefix = QStringLiteral("错误代码：");
const QString UnzipBridge::ReplaceCaption = QStringLiteral("VBUnzip - File already exists");

// Everything below serves the extraction interface: its buffer limits, its
// narrow strings and name lists, the plain-function call-backs and the
// listing in its 80-column form.
namespace {

const QString kEngineModule = QStringLiteral(ZOMA_UNZIP_MODULE);
const QString NoEngineText = QStringLiteral("无法载入解压组件：");
constexpr qsizetype kMaxPrintBytes = 32801;
constexpr qsizetype kShownNameBytes = 256;
constexpr int kListingWidth = 80;
constexpr int kListingNameWidth = 50;

// The bridge whose UnzipArchive is running: the call-backs are plain
// function pointers and find their bridge through it.
UnzipBridge* activeBridge = nullptr;

qint32 printThunk(const char* text, quint32 length) {
    return activeBridge ? activeBridge->UnzipPrint(text, length) : 0;
}

qint32 replaceThunk(const char* name) {
    return activeBridge ? activeBridge->UnzipReplace(name) : UnzipReplaceAnswer::No;
}

void entryThunk(qint32 size, qint32 compressedSize, qint32 ratio, qint32 month, qint32 day,
                qint32 year, qint32 hour, qint32 minute, qint32 encrypted, const char* name,
                const char* method, qint32 crc, qint32 directory) {
    if (activeBridge) {
        activeBridge->UnzipEntry(size, compressedSize, ratio, month, day, year, hour, minute,
                                 encrypted, name, method, crc, directory);
    }
}

// The library's form of a name list: 100 zero-terminated strings and their
// addresses, with one null address after them so a count beyond the list
// stops there instead of reading past it.
class NarrowList final {
public:
    explicit NarrowList(const UnzipBridge::UnzipNameList& names) {
        for (int i = 0; i < UnzipBridge::NameListSize; ++i) {
            m_bytes[i] = zoma::toNarrow(names[i]);
            m_pointers[i] = m_bytes[i].constData();
        }
    }
    const char* const* pointers() const { return m_pointers.data(); }

private:
    std::array<QByteArray, UnzipBridge::NameListSize> m_bytes;
    std::array<const char*, UnzipBridge::NameListSize + 1> m_pointers{};
};

void fillBlanks(char* field, qsizetype size) {
    for (qsizetype i = 0; i + 1 < size; ++i) field[i] = ' ';
    field[size - 1] = 0;
}

// A number as VB's Str$ writes it: a blank or a minus sign, then the digits.
QString signedText(qint64 value) {
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(value));
}
QString twoDigits(qint16 value) {
    return (QStringLiteral("0") + QString::number(value)).right(2);
}
QString blankPadded(qint16 value) {
    return signedText(value).right(2);
}

// The first count characters of text, padded with blanks to count characters.
QString fitted(const QString& text, int count) {
    qsizetype end = 0;
    int characters = 0;
    while (end < text.size() && characters < count) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
        ++characters;
    }
    return text.left(end) + QString(count - characters, u' ');
}

}  // namespace

class UnzipBridge::Activation final {
public:
    explicit Activation(UnzipBridge* bridge) : m_previous(std::exchange(activeBridge, bridge)) {}
    ~Activation() { activeBridge = m_previous; }
    Q_DISABLE_COPY_MOVE(Activation)

private:
    UnzipBridge* m_previous;
};

int UnzipBridge::UnzipArchive(const QString& archivePath, const QString& targetDir,
                              qint16 promptOverwrite, qint16 overwriteExisting, qint16 listOnly,
                              qint16 honourDirectories, qint32 includeCount, qint32 excludeCount) {
    QString error;
    const auto version =
        reinterpret_cast<UzpVersion2Fn>(zoma::moduleFunction(kEngineModule, "UzpVersion2", &error));
    const auto unzip = version ? reinterpret_cast<WindllUnzipFn>(
                                     zoma::moduleFunction(kEngineModule, "windll_unzip", &error))
                               : nullptr;
    if (!unzip) {
        m_dialogs->message(NoEngineText + error);
        return NoEngine;
    }

    // Texts in the library's form, alive until the call returns.
    const QByteArray archive = zoma::toNarrow(archivePath);
    const QByteArray target = zoma::toNarrow(targetDir);
    const NarrowList includes(UnzipIncludeNames);
    const NarrowList excludes(UnzipExcludeNames);

    UnzipOptions options;
    options.promptOverwrite = promptOverwrite;
    options.listOnly = listOnly;
    options.honourDirectories = honourDirectories;
    options.overwriteExisting = overwriteExisting;
    options.archivePath = archive.constData();
    options.targetDir = target.constData();

    UnzipCallbacks callbacks;
    callbacks.print = printThunk;
    callbacks.sound = nullptr;
    callbacks.replace = replaceThunk;
    callbacks.password = UnzipPassword;
    callbacks.entry = entryThunk;
    callbacks.service = nullptr;

    UnzipVersionInfo versionInfo;
    versionInfo.length = sizeof(UnzipVersionInfo);
    fillBlanks(versionInfo.betaLevel.data(), versionInfo.betaLevel.size());
    fillBlanks(versionInfo.date.data(), versionInfo.date.size());
    fillBlanks(versionInfo.libraryVersion.data(), versionInfo.libraryVersion.size());

    qint32 result = 0;
    {
        const Activation active(this);
        version(&versionInfo);
        result = unzip(includeCount, includes.pointers(), excludeCount, excludes.pointers(),
                       &options, &callbacks);
    }
    if (result != 0) m_dialogs->message(ErrorPrefix + QString::number(result));
    return result;
}

qint32 UnzipBridge::UnzipPrint(const char* text, quint32 length) {
    UnzipMessages += zoma::fromNarrow(text, std::min<qsizetype>(length, kMaxPrintBytes));
    return 0;
}

qint32 UnzipBridge::UnzipReplace(const char* name) {
    const QString text =
        QStringLiteral("Overwrite ") + zoma::fromNarrow(name, kShownNameBytes) + u'?';
    switch (m_dialogs->message(text, Dialogs::Buttons::YesNoCancel, ReplaceCaption)) {
        case Dialogs::Answer::Yes:
            return UnzipReplaceAnswer::Yes;
        case Dialogs::Answer::No:
            return UnzipReplaceAnswer::No;
        default:
            return UnzipReplaceAnswer::None;
    }
}

qint32 UnzipBridge::UnzipPassword(char*, qint32, const char*, const char*) {
    return 1;  // no password: the engine skips the entry
}

void UnzipBridge::UnzipEntry(qint32 size, qint32, qint32, qint32 month, qint32 day, qint32 year,
                             qint32 hour, qint32 minute, qint32, const char* name, const char*,
                             qint32, qint32) {
    if (UnzipEntryCount == 0) {
        QString header(kListingWidth, u' ');
        header.replace(0, 9, QStringLiteral("Filename:"));
        header.replace(52, 4, QStringLiteral("Size"));
        header.replace(61, 4, QStringLiteral("Date"));
        header.replace(70, 4, QStringLiteral("Time"));
        UnzipListing = header;
    }
    // Only the low 16 bits of the date and time fields count.
    const auto low = [](qint32 value) { return static_cast<qint16>(value & 0xFFFF); };
    UnzipListing += fitted(zoma::fromNarrow(name, kShownNameBytes), kListingNameWidth) +
                    (QString(8, u' ') + signedText(size)).right(7) + QStringLiteral("  ") +
                    blankPadded(low(day)) + u'/' + twoDigits(low(month)) + u'/' +
                    twoDigits(low(year)) + QStringLiteral("  ") + blankPadded(low(hour)) + u':' +
                    twoDigits(low(minute)) + QString(6, u' ');
    if (UnzipEntryCount < std::numeric_limits<qint32>::max()) ++UnzipEntryCount;
}
