// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/archive_pdfs.h"

#include "common/regular_file.h"
#include "import/entry_names.h"
#include "import/zip_directory.h"

#include <QFile>

#include <algorithm>

namespace zoma {

namespace {

// Each entry with its name decoded as the engine decodes it, so the names
// are the ones it writes and matches.
QList<std::pair<const ZipEntryRecord*, QString>> entryNames(const ZipDirectory& directory) {
    const bool unflaggedUtf8 = std::all_of(
        directory.entries.cbegin(), directory.entries.cend(),
        [](const ZipEntryRecord& e) { return e.utf8Flag() || e.rawName.isValidUtf8(); });
    QList<std::pair<const ZipEntryRecord*, QString>> names;
    for (const ZipEntryRecord& entry : directory.entries) {
        const bool utf8 = entry.utf8Flag() || unflaggedUtf8;
        names.append({&entry, decodeEntryName(entry.rawName,
                                              utf8 ? NameEncoding::Utf8 : NameEncoding::Gbk)});
    }
    return names;
}

ZipDirectory readDirectory(const QString& archivePath) {
    QFile file;
    QString error;
    if (!zoma::openRegularFile(archivePath, &file, &error)) return {};
    return readZipDirectory(file);
}

}  // namespace

QString pdfEntryPattern() {
    return QStringLiteral("*.[pP][dD][fF]");
}

bool archiveHoldsOtherEntries(const QString& archivePath) {
    const ZipDirectory directory = readDirectory(archivePath);
    if (directory.status != ZipDirectory::Status::Ok) return false;
    for (const auto& [entry, name] : entryNames(directory)) {
        if (!matchesWildcard(pdfEntryPattern(), name)) return true;
    }
    return false;
}

QStringList archivePdfNames(const QString& archivePath) {
    const ZipDirectory directory = readDirectory(archivePath);
    if (directory.status != ZipDirectory::Status::Ok) return {};
    QStringList names;
    for (const auto& [entry, name] : entryNames(directory)) {
        if (entry->isSymLink()) continue;
        const EntryTarget target = entryTarget(name, false);
        if (target.kind != EntryTarget::Kind::File || target.parts.isEmpty()) continue;
        const QString fileName = target.parts.last();
        if (fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) &&
            !names.contains(fileName)) {
            names << fileName;
        }
    }
    return names;
}

}  // namespace zoma
