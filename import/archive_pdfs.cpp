// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/archive_pdfs.h"

#include "import/entry_names.h"
#include "import/zip_directory.h"

#include <QFile>

#include <algorithm>

namespace zoma {

QStringList archivePdfNames(const QString& archivePath) {
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const ZipDirectory directory = readZipDirectory(file);
    if (directory.status != ZipDirectory::Status::Ok) return {};
    // Decoded as the engine decodes them, so the names are the ones it writes.
    const bool unflaggedUtf8 = std::all_of(
        directory.entries.cbegin(), directory.entries.cend(),
        [](const ZipEntryRecord& e) { return e.utf8Flag() || e.rawName.isValidUtf8(); });
    QStringList names;
    for (const ZipEntryRecord& entry : directory.entries) {
        if (entry.isSymLink()) continue;
        const bool utf8 = entry.utf8Flag() || unflaggedUtf8;
        const QString name =
            decodeEntryName(entry.rawName, utf8 ? NameEncoding::Utf8 : NameEncoding::Gbk);
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
