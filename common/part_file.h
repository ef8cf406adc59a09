// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

namespace zoma {

// A path as the standard file-system library takes it.
std::filesystem::path fsPath(const QString& path);

}  // namespace zoma

// A new file beside a destination that takes the destination's contents
// until they are complete, then replaces it in one step: a failure before
// that leaves the destination as it was. Created exclusively, so it never
// follows a link someone planted. Removed unless committed.
//
// Shaped for speed (see BENCHMARKS.md): QSaveFile would also wait for the
// disk (fdatasync), which costs several milliseconds a file and would be paid
// on every step of the practice window.
class PartFile final {
public:
    enum class Links {
        Replace,       // a link standing at the destination is replaced, not written through
        WriteThrough,  // the file a link points to is replaced and the link stays a link;
                       // a folder at the destination is refused and a file's permissions kept
    };

    explicit PartFile(const QString& destination, Links links = Links::Replace);
    ~PartFile();
    Q_DISABLE_COPY_MOVE(PartFile)

    // Makes the part file; false with the reason when none could be made.
    bool open(QIODevice::OpenMode extraMode, QString* error);
    QFile& file() { return m_file; }

    // Closes the part file and renames it over the destination; false with
    // the reason on failure, after which the part file is gone.
    bool commit(QString* error);

private:
    QString m_destination;
    Links m_links;
    QFile m_file;
    bool m_pending = false;  // a part file exists that nobody has committed
};
