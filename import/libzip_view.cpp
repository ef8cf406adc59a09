// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/libzip_view.h"

#include <QFile>
#include <QMap>

#include <memory>

namespace {

constexpr quint16 kUtf8Flag = 0x0800;
constexpr quint64 kCentralFlags = 8;  // offset of the flags in a directory record
constexpr quint64 kLocalFlags = 6;    // and in a local header
constexpr quint16 kAesMethod = 99;

// What libzip reads: the file, with single bytes replaced.
struct Source {
    QFile& file;
    QMap<quint64, char> patches;
    quint64 size = 0;
    quint64 position = 0;
    zip_error_t error{};
};

zip_int64_t readPatched(Source& s, char* data, zip_uint64_t length) {
    length = std::min<zip_uint64_t>(length, s.size - std::min(s.position, s.size));
    if (length == 0) return 0;
    if (!s.file.seek(qint64(s.position))) {
        zip_error_set(&s.error, ZIP_ER_SEEK, 0);
        return -1;
    }
    const qint64 got = s.file.read(data, qint64(length));
    if (got < 0) {
        zip_error_set(&s.error, ZIP_ER_READ, 0);
        return -1;
    }
    for (auto it = s.patches.lowerBound(s.position);
         it != s.patches.cend() && it.key() < s.position + quint64(got); ++it) {
        data[it.key() - s.position] = it.value();
    }
    s.position += quint64(got);
    return got;
}

zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto& s = *static_cast<Source*>(state);
    switch (command) {
        case ZIP_SOURCE_OPEN:
            s.position = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return readPatched(s, static_cast<char*>(data), length);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &s.error);
            if (!st) return -1;
            zip_stat_init(st);
            st->size = s.size;
            st->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&s.error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&s.error);
            delete &s;
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to =
                zip_source_seek_compute_offset(s.position, s.size, data, length, &s.error);
            if (to < 0) return -1;
            s.position = zip_uint64_t(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return zip_int64_t(s.position);
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            zip_error_set(&s.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

// Clears the UTF-8 flag in the flag field at offset.
void clearUtf8Flag(QMap<quint64, char>& patches, quint64 offset, quint16 flags) {
    patches.insert(offset + 1, char((flags & ~kUtf8Flag) >> 8));
}

}  // namespace

zip_t* zoma::openLibzip(QFile& file, const ZipDirectory& directory, int* error) {
    auto* state = new Source{file, {}, quint64(file.size())};
    zip_error_init(&state->error);
    for (const ZipEntryRecord& e : directory.entries) {
        if (e.utf8Flag() && (!e.rawName.isValidUtf8() || !e.comment.isValidUtf8()))
            clearUtf8Flag(state->patches, e.centralOffset + kCentralFlags, e.flags);
        if ((e.localFlags & kUtf8Flag) && !e.localName.isValidUtf8())
            clearUtf8Flag(state->patches, e.headerOffset + kLocalFlags, e.localFlags);
    }
    zip_error_t openError;
    zip_error_init(&openError);
    zip_source_t* source = zip_source_function_create(callback, state, &openError);
    if (!source) {
        delete state;
        *error = zip_error_code_zip(&openError);
        zip_error_fini(&openError);
        return nullptr;
    }
    // Consistency is the directory reader's and libzipMismatch's work: libzip's
    // own check refuses duplicate names and bytes after the end record.
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &openError);
    if (!zip) {
        zip_source_free(source);
        *error = zip_error_code_zip(&openError);
    }
    zip_error_fini(&openError);
    return zip;
}

QString zoma::libzipMismatch(zip_t* zip, const ZipDirectory& directory) {
    if (zip_get_num_entries(zip, 0) != directory.entries.size())
        return QStringLiteral("entry count");
    for (qsizetype i = 0; i < directory.entries.size(); ++i) {
        const ZipEntryRecord& e = directory.entries[i];
        const auto index = zip_uint64_t(i);
        const char* name = zip_get_name(zip, index, ZIP_FL_ENC_RAW);
        zip_stat_t st;
        zip_stat_init(&st);
        if (!name || zip_stat_index(zip, index, ZIP_FL_ENC_RAW, &st) < 0)
            return QStringLiteral("entry %1 unreadable").arg(i);
        // libzip turns NUL bytes of a name into blanks, and takes the name of
        // an Info-ZIP UTF-8 field when there is one.
        const QByteArrayView libzipName(name);
        const bool sameName = libzipName == QByteArray(e.rawName).replace('\0', ' ') ||
                              (!e.unicodeName.isEmpty() && libzipName == e.unicodeName);
        // Inside an AES entry libzip names the real method and no CRC.
        const bool aes = e.method == kAesMethod;
        const quint64 needed =
            ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | (aes ? 0 : ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC);
        if (!sameName || (st.valid & needed) != needed || st.size != e.size ||
            st.comp_size != e.compressedSize ||
            (!aes && (st.crc != e.crc || st.comp_method != e.method))) {
            return QStringLiteral("entry %1 read differently").arg(i);
        }
    }
    return {};
}
