// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

// A path as the standard file-system library takes it.
std::filesystem::path fsPath(const QString& path);

// A new file beside a destination that takes the destination's contents
// until they are complete, then replaces it in one step: a failure before
// that leaves the destination as it was. Created exclusively, so it never
// follows a link someone planted; a link standing at the destination is
// replaced, not written through. Removed unless committed.
class PartFile final {
public:
    explicit PartFile(QString destination) : m_destination(std::move(destination)) {}
    ~PartFile();
    Q_DISABLE_COPY_MOVE(PartFile)

    // False when no part file could be made; file().errorString() says why.
    bool open(QIODevice::OpenMode extraMode = {});
    QFile& file() { return m_file; }

    // Closes the part file and renames it over the destination. The reason
    // of a failure, or empty text; after a failure the part file is gone.
    QString commit();

private:
    QString m_destination;
    QFile m_file;
    bool m_pending = false;  // a part file exists that nobody has committed
};
