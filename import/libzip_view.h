// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "import/zip_directory.h"

#include <QString>

#include <zip.h>

class QFile;

namespace zoma {

// libzip over an archive the engine has opened and read the directory of,
// so that both read the same file. The UTF-8 flag of an entry whose name or
// comment is no UTF-8 is hidden from libzip, which would refuse the whole
// archive for it; the engine decodes such names by its own rule. The file
// must outlive the handle. Null with a libzip error code on failure.
zip_t* openLibzip(QFile& file, const ZipDirectory& directory, int* error);

// The first entry on which libzip and the directory disagree (raw name,
// sizes, method, CRC), described for a print line; empty when they agree.
QString libzipMismatch(zip_t* zip, const ZipDirectory& directory);

}  // namespace zoma
