// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/unzip_engine.h"

#include "import/entry_names.h"
#include "import/libzip_view.h"
#include "import/zip_directory.h"

#include "common/part_file.h"
#include "common/regular_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr qsizetype kFileSystemNameBytes = 255;  // one name on the file systems we target
constexpr qsizetype kPathBytes = 32768;
constexpr qint32 kPasswordSize = 256;

bool tooLongForFileSystem(const QString& name) {
#ifdef Q_OS_WIN
    return name.size() > kFileSystemNameBytes;
#else
    return QFile::encodeName(name).size() > kFileSystemNameBytes;
#endif
}

qint32 clamp32(quint64 value) {
    return qint32(std::min<quint64>(value, std::numeric_limits<qint32>::max()));
}

QString methodName(quint16 method) {
    switch (method) {
        case 0:
            return QStringLiteral("Stored");
        case 8:
            return QStringLiteral("Deflated");
        case 9:
            return QStringLiteral("Deflate64");
        case 12:
            return QStringLiteral("BZip2");
        case 14:
            return QStringLiteral("LZMA");
        case 93:
            return QStringLiteral("Zstd");
        case 95:
            return QStringLiteral("XZ");
        case 99:
            return QStringLiteral("AES");
        default:
            return QStringLiteral("Unk:%1").arg(method, 3, 10, QLatin1Char('0'));
    }
}

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileCloser>;

class Extraction final {
public:
    Extraction(const UnzipOptions& options, const UnzipCallbacks& callbacks)
        : m_options(options), m_callbacks(callbacks) {}

    int run(const QStringList& includes, const QStringList& excludes);

private:
    // What handling one entry leaves: go on with the next, or stop with a result.
    using Stop = std::optional<int>;

    int openArchive(const QString& archivePath);
    QList<qsizetype> select(const QStringList& includes, const QStringList& excludes);
    int checkBudget(const QList<qsizetype>& selected);
    Stop extractEntry(qsizetype index);
    Stop writeEntry(qsizetype index, const QString& destination, const QString& shownName,
                    const QByteArray& password);
    bool makeFolders(const QStringList& parts, qsizetype count, QString* problem);
    bool mayReplace(const QString& shownName);
    QByteArray askPassword(const QString& name);
    void report(qsizetype index);

    void print(const QString& line);
    void skip(const QString& name, const QString& reason) {
        print(QStringLiteral("skipping: %1  (%2)").arg(name, reason));
        m_warning = true;
    }
    void damaged(const QString& name, const QString& reason) {
        print(QStringLiteral("error: %1: %2").arg(name, reason));
        m_damaged = true;
    }

    const UnzipOptions& m_options;
    const UnzipCallbacks& m_callbacks;
    QString m_target;
    QFile m_archive;  // before m_zip, which reads through it
    ZipHandle m_zip;
    ZipDirectory m_directory;
    QStringList m_names;  // decoded, index for index with the directory
    bool m_keepAllExisting = false;
    bool m_warning = false;
    bool m_damaged = false;
    bool m_unsupported = false;
    int m_files = 0;
    int m_encryptedSkipped = 0;
};

void Extraction::print(const QString& line) {
    if (!m_callbacks.print) return;
    const QByteArray text = zoma::toNarrow(line + u'\n');
    m_callbacks.print(text.constData(), quint32(text.size()));
}

int Extraction::run(const QStringList& includes, const QStringList& excludes) {
    const UnzipOptions& o = m_options;
    for (const qint32 unsupported :
         {o.update, o.spacesToUnderscores, o.quietness, o.toStandardOutput, o.testOnly, o.freshen,
          o.showComment, o.translateLineEnds, o.detailedInfo, o.ignoreCase, o.restoreAccess}) {
        if (unsupported != 0) {
            print(QStringLiteral("error: option not supported"));
            return UnzipResult::BadOptions;
        }
    }
    const QString archivePath = zoma::fromNarrow(o.archivePath, kPathBytes);
    if (archivePath.isEmpty()) {
        print(QStringLiteral("error: no archive named"));
        return UnzipResult::BadOptions;
    }
    if (o.listOnly == 0) {
        m_target = zoma::fromNarrow(o.targetDir, kPathBytes);
        if (m_target.isEmpty()) {
            print(QStringLiteral("error: no target folder named"));
            return UnzipResult::BadOptions;
        }
        if (!QFileInfo(m_target).isDir()) {
            print(QStringLiteral("error: cannot write into %1: not a folder").arg(m_target));
            return UnzipResult::BadOptions;
        }
    }

    if (const int opened = openArchive(archivePath); opened != UnzipResult::Ok) return opened;
    if (m_directory.entries.isEmpty()) {
        print(QStringLiteral("error: %1 holds no entries").arg(archivePath));
        return UnzipResult::NoMatch;
    }

    const QList<qsizetype> selected = select(includes, excludes);
    if (selected.isEmpty()) {
        print(QStringLiteral("error: no entry of %1 matches").arg(archivePath));
        return UnzipResult::NoMatch;
    }

    if (o.listOnly != 0) {
        for (const qsizetype index : selected) report(index);
        return m_warning ? UnzipResult::Warning : UnzipResult::Ok;
    }

    if (const int budget = checkBudget(selected); budget != UnzipResult::Ok) return budget;
    for (const qsizetype index : selected) {
        if (const Stop stop = extractEntry(index)) return *stop;
    }

    if (m_damaged) return UnzipResult::ArchiveError;
    if (m_unsupported) return UnzipResult::Unsupported;
    if (m_files > 0 && m_encryptedSkipped == m_files) return UnzipResult::NeedPassword;
    return m_warning ? UnzipResult::Warning : UnzipResult::Ok;
}

int Extraction::openArchive(const QString& archivePath) {
    // One descriptor for both readers, so that they read the same file.
    QString reason;
    if (!zoma::openRegularFile(archivePath, &m_archive, &reason)) {
        print(QStringLiteral("error: cannot open %1: %2").arg(archivePath, reason));
        return UnzipResult::NotArchive;
    }
    m_directory = zoma::readZipDirectory(m_archive);
    switch (m_directory.status) {
        case ZipDirectory::Status::Ok:
            break;
        case ZipDirectory::Status::NotZip:
            print(QStringLiteral("error: %1 is not a zip archive (%2)")
                      .arg(archivePath, m_directory.problem));
            return UnzipResult::NotArchive;
        case ZipDirectory::Status::Damaged:
            print(
                QStringLiteral("error: %1 is damaged (%2)").arg(archivePath, m_directory.problem));
            return UnzipResult::ArchiveBroken;
        case ZipDirectory::Status::Overlap:
            break;  // named below, once the names are decoded
    }

    // A name is UTF-8 when its bytes are valid UTF-8 and it is flagged so, or
    // every name of the archive is valid UTF-8; any other is GBK, with its
    // undecodable bytes escaped. Some Windows tools flag GBK names as UTF-8.
    const bool allUtf8 =
        std::all_of(m_directory.entries.cbegin(), m_directory.entries.cend(),
                    [](const ZipEntryRecord& e) { return e.rawName.isValidUtf8(); });
    for (const ZipEntryRecord& entry : std::as_const(m_directory.entries)) {
        const bool utf8 = (entry.utf8Flag() || allUtf8) && entry.rawName.isValidUtf8();
        m_names << zoma::decodeEntryName(entry.rawName,
                                         utf8 ? NameEncoding::Utf8 : NameEncoding::Gbk);
    }
    if (m_directory.status == ZipDirectory::Status::Overlap) {
        print(QStringLiteral("error: entries %1 and %2 share data; nothing extracted")
                  .arg(m_names.value(m_directory.overlapFirst),
                       m_names.value(m_directory.overlapSecond)));
        return UnzipResult::Overlap;
    }
    if (m_directory.trailingBytes > 0) {
        print(QStringLiteral("warning: %1: %2 extra bytes after the end of the archive")
                  .arg(archivePath)
                  .arg(m_directory.trailingBytes));
        m_warning = true;
    }
    if (m_directory.entries.isEmpty()) return UnzipResult::Ok;

    int error = 0;
    m_zip.reset(zoma::openLibzip(m_archive, m_directory, &error));
    if (!m_zip) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, error);
        print(QStringLiteral("error: %1: %2")
                  .arg(archivePath, QString::fromLocal8Bit(zip_error_strerror(&zipError))));
        zip_error_fini(&zipError);
        return error == ZIP_ER_NOZIP || error == ZIP_ER_NOENT || error == ZIP_ER_OPEN
                   ? UnzipResult::NotArchive
                   : UnzipResult::ArchiveBroken;
    }
    // Names, sizes and CRCs from one reader and bytes from another would put
    // one entry's bytes under another's name.
    if (const QString mismatch = zoma::libzipMismatch(m_zip.get(), m_directory);
        !mismatch.isEmpty()) {
        print(QStringLiteral("error: %1 is damaged (%2)").arg(archivePath, mismatch));
        return UnzipResult::ArchiveBroken;
    }
    return UnzipResult::Ok;
}

QList<qsizetype> Extraction::select(const QStringList& includes, const QStringList& excludes) {
    QList<bool> used(includes.size(), false);
    QList<qsizetype> selected;
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        bool take = includes.isEmpty();
        for (qsizetype k = 0; k < includes.size(); ++k) {
            if (zoma::matchesWildcard(includes[k], m_names[i])) take = used[k] = true;
        }
        for (const QString& pattern : excludes) {
            if (zoma::matchesWildcard(pattern, m_names[i])) take = false;
        }
        if (take) selected << i;
    }
    for (qsizetype k = 0; k < includes.size(); ++k) {
        if (!used[k] && !selected.isEmpty()) {
            print(QStringLiteral("caution: no entry matches %1").arg(includes[k]));
            m_warning = true;
        }
    }
    return selected;
}

int Extraction::checkBudget(const QList<qsizetype>& selected) {
    quint64 total = 0;
    for (const qsizetype index : selected) {
        const ZipEntryRecord& entry = m_directory.entries[index];
        if (!entry.isSymLink())
            total = std::min(total + std::min(entry.size, UnzipBudget + 1), UnzipBudget + 1);
    }
    if (total > UnzipBudget) {
        print(QStringLiteral("error: the archive would write more than %1 MiB; nothing extracted")
                  .arg(UnzipBudget / (1024 * 1024)));
        return UnzipResult::DiskFull;
    }
    std::error_code ec;
    const fs::space_info space = fs::space(zoma::fsPath(m_target), ec);
    if (!ec && total > space.available) {
        print(QStringLiteral("error: %1 bytes needed, %2 free in %3; nothing extracted")
                  .arg(total)
                  .arg(space.available)
                  .arg(m_target));
        return UnzipResult::DiskFull;
    }
    return UnzipResult::Ok;
}

void Extraction::report(qsizetype index) {
    if (!m_callbacks.entry) return;
    const ZipEntryRecord& e = m_directory.entries[index];
    const QString& name = m_names[index];
    const qint64 ratio =
        e.size == 0 ? 0
                    : 1000 - qint64(std::min<quint64>(e.compressedSize, e.size) * 1000 / e.size);
    const QByteArray narrowName = zoma::toNarrow(name);
    const QByteArray method = zoma::toNarrow(methodName(e.method));
    const bool directory = name.endsWith(u'/') || name.endsWith(u'\\');
    m_callbacks.entry(clamp32(e.size), clamp32(e.compressedSize), qint32(ratio),
                      (e.dosDate >> 5) & 0x0F, e.dosDate & 0x1F, 1980 + (e.dosDate >> 9),
                      e.dosTime >> 11, (e.dosTime >> 5) & 0x3F, e.encrypted() ? 1 : 0,
                      narrowName.constData(), method.constData(), qint32(e.crc), directory ? 1 : 0);
}

Extraction::Stop Extraction::extractEntry(qsizetype index) {
    const ZipEntryRecord& entry = m_directory.entries[index];
    const QString& name = m_names[index];
    report(index);
    if (m_callbacks.service &&
        m_callbacks.service(zoma::toNarrow(name).constData(), quint32(clamp32(entry.size))) != 0) {
        print(QStringLiteral("extraction cancelled at %1").arg(name));
        return UnzipResult::Cancelled;
    }
    if (entry.isSymLink()) {
        skip(name, QStringLiteral("symbolic link, not created"));
        return {};
    }
    const EntryTarget target = zoma::entryTarget(name, m_options.honourDirectories != 0);
    if (target.kind == EntryTarget::Kind::Refused) {
        skip(name, target.reason);
        return {};
    }
    if (std::any_of(target.parts.cbegin(), target.parts.cend(), tooLongForFileSystem)) {
        skip(name, QStringLiteral("name too long for the file system"));
        return {};
    }
    QString problem;
    if (target.kind == EntryTarget::Kind::Directory) {
        if (!makeFolders(target.parts, target.parts.size(), &problem)) skip(name, problem);
        return {};
    }

    ++m_files;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip.get(), zip_uint64_t(index), 0, &stat) < 0 ||
        !(stat.valid & ZIP_STAT_COMP_METHOD) || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size != entry.size) {
        damaged(name, QStringLiteral("entry record does not match the directory"));
        return {};
    }
    if (!zip_compression_method_supported(stat.comp_method, 0)) {
        print(QStringLiteral("error: %1: compression method %2 not supported")
                  .arg(name, methodName(stat.comp_method)));
        m_unsupported = true;
        return {};
    }
    QByteArray password;
    if (entry.encrypted()) {
        const bool known = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
                           zip_encryption_method_supported(stat.encryption_method, 0);
        password = known ? askPassword(name) : QByteArray();
        if (password.isEmpty()) {
            ++m_encryptedSkipped;
            skip(name, known ? QStringLiteral("encrypted, no password")
                             : QStringLiteral("encryption method not supported"));
            return {};
        }
    }

    if (!makeFolders(target.parts, target.parts.size() - 1, &problem)) {
        skip(name, problem);
        return {};
    }
    const QString shownName = QDir::toNativeSeparators(target.parts.join(u'/'));
    const QString destination = m_target + u'/' + target.parts.join(u'/');
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(zoma::fsPath(destination), ec);
    if (ec && status.type() != fs::file_type::not_found) {
        skip(name, QStringLiteral("cannot look at %1: %2")
                       .arg(shownName, QString::fromStdString(ec.message())));
        return {};
    }
    if (fs::exists(status)) {
        if (fs::is_directory(status)) {
            skip(name, QStringLiteral("a folder named %1 stands there").arg(shownName));
            return {};
        }
        if (!mayReplace(shownName)) {
            print(QStringLiteral("kept: %1  (already there)").arg(shownName));
            return {};
        }
    }
    return writeEntry(index, destination, shownName, password);
}

Extraction::Stop Extraction::writeEntry(qsizetype index, const QString& destination,
                                        const QString& shownName, const QByteArray& password) {
    const ZipEntryRecord& entry = m_directory.entries[index];
    const QString& name = m_names[index];
    ZipFileHandle file(
        password.isEmpty()
            ? zip_fopen_index(m_zip.get(), zip_uint64_t(index), 0)
            : zip_fopen_index_encrypted(m_zip.get(), zip_uint64_t(index), 0, password.constData()));
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_zip.get()));
        const QString reason = QString::fromLocal8Bit(zip_strerror(m_zip.get()));
        if (code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD) {
            ++m_encryptedSkipped;
            skip(name, reason);
        } else if (code == ZIP_ER_COMPNOTSUPP || code == ZIP_ER_ENCRNOTSUPP) {
            print(QStringLiteral("error: %1: %2").arg(name, reason));
            m_unsupported = true;
        } else {
            damaged(name, reason);
        }
        return {};
    }

    PartFile part(destination);
    QString problem;
    if (!part.open({}, &problem)) {
        print(QStringLiteral("error: cannot create a file beside %1: %2").arg(shownName, problem));
        return UnzipResult::DiskFull;
    }
    // Read until libzip reports the end, so that it checks the CRC; never
    // write more than the entry claims to hold.
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    quint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            damaged(name, QString::fromLocal8Bit(zip_file_strerror(file.get())));
            return {};
        }
        if (n == 0) break;
        total += quint64(n);
        if (total > entry.size) {
            damaged(name,
                    QStringLiteral("more data than its stated size of %1 bytes").arg(entry.size));
            return {};
        }
        if (part.file().write(buffer.constData(), n) != n) {
            print(QStringLiteral("error: cannot write %1: %2")
                      .arg(shownName, part.file().errorString()));
            return UnzipResult::DiskFull;
        }
    }
    // libzip checks no CRC when there is no data; the CRC of nothing is 0.
    if (total == 0 && entry.crc != 0) {
        damaged(name, QStringLiteral("CRC error"));
        return {};
    }
    if (total != entry.size) {
        damaged(name, QStringLiteral("less data than its stated size of %1 bytes").arg(entry.size));
        return {};
    }
    if (!part.file().flush()) {
        print(
            QStringLiteral("error: cannot write %1: %2").arg(shownName, part.file().errorString()));
        return UnzipResult::DiskFull;
    }
    const QDateTime stamp(
        QDate(1980 + (entry.dosDate >> 9), (entry.dosDate >> 5) & 0x0F, entry.dosDate & 0x1F),
        QTime((entry.dosTime >> 11), (entry.dosTime >> 5) & 0x3F, (entry.dosTime & 0x1F) * 2));
    if (stamp.isValid()) part.file().setFileTime(stamp, QFileDevice::FileModificationTime);
    // Renaming replaces whatever stands there, a link included, as one step.
    if (!part.commit(&problem)) {
        print(QStringLiteral("error: cannot write %1: %2").arg(shownName, problem));
        return UnzipResult::DiskFull;
    }
    print(QStringLiteral("  inflating: %1").arg(shownName));
    return {};
}

bool Extraction::makeFolders(const QStringList& parts, qsizetype count, QString* problem) {
    QString path = m_target;
    for (qsizetype i = 0; i < count; ++i) {
        path += u'/' + parts[i];
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(zoma::fsPath(path), ec);
        if (ec && status.type() != fs::file_type::not_found) {
            *problem = QString::fromStdString(ec.message());
            return false;
        }
        if (fs::is_directory(status)) continue;  // a link is never taken for a folder
        if (fs::exists(status)) {
            *problem = QStringLiteral("%1 is not a folder")
                           .arg(QDir::toNativeSeparators(parts.mid(0, i + 1).join(u'/')));
            return false;
        }
        ec.clear();
        if (!fs::create_directory(zoma::fsPath(path), ec) || ec) {
            *problem = QString::fromStdString(ec.message());
            return false;
        }
    }
    return true;
}

bool Extraction::mayReplace(const QString& shownName) {
    if (m_keepAllExisting) return false;
    if (m_options.promptOverwrite != 0 && m_callbacks.replace) {
        const QByteArray narrow = zoma::toNarrow(shownName);
        switch (m_callbacks.replace(narrow.constData())) {
            case UnzipReplaceAnswer::Yes:
                return true;
            case UnzipReplaceAnswer::None:
                m_keepAllExisting = true;
                return false;
            default:
                return false;
        }
    }
    return m_options.overwriteExisting != 0;
}

QByteArray Extraction::askPassword(const QString& name) {
    if (!m_callbacks.password) return {};
    char buffer[kPasswordSize] = {};
    const QByteArray narrow = zoma::toNarrow(name);
    if (m_callbacks.password(buffer, kPasswordSize, "Enter password for: ", narrow.constData()) !=
        UnzipPasswordEntered) {
        return {};
    }
    buffer[kPasswordSize - 1] = 0;
    return QByteArray(buffer);
}

void copyText(char* field, qsizetype size, const char* text) {
    qsizetype i = 0;
    for (; i + 1 < size && text[i] != 0; ++i) field[i] = text[i];
    for (; i < size; ++i) field[i] = 0;
}

}  // namespace

void UzpVersion2(UnzipVersionInfo* info) {
    if (!info || info->length < sizeof(UnzipVersionInfo)) return;
    info->flags = 0;
    copyText(info->betaLevel.data(), info->betaLevel.size(), "");
    copyText(info->date.data(), info->date.size(), "");
    copyText(info->libraryVersion.data(), info->libraryVersion.size(), LIBZIP_VERSION);
    info->engineVersion = {1, 0, 0, 0};
    info->listingVersion = {1, 0, 0, 0};
    info->interfaceVersion = {1, 0, 0, 0};
}

qint32 windll_unzip(qint32 includeCount, const char* const* includeNames, qint32 excludeCount,
                    const char* const* excludeNames, const UnzipOptions* options,
                    const UnzipCallbacks* callbacks) {
    if (!options || !callbacks) return UnzipResult::BadOptions;
    Extraction extraction(*options, *callbacks);
    QStringList includes;
    QStringList excludes;
    for (auto [count, names, list] : {std::tuple(includeCount, includeNames, &includes),
                                      std::tuple(excludeCount, excludeNames, &excludes)}) {
        if (count < 0 || (count > 0 && !names)) return UnzipResult::BadOptions;
        for (qint32 i = 0; i < count; ++i) {
            if (!names[i]) return UnzipResult::BadOptions;
            *list << zoma::fromNarrow(names[i], kPathBytes);
        }
    }
    return extraction.run(includes, excludes);
}
