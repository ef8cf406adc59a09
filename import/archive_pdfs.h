// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace zoma {

// The names the PDF files of an archive get when it is extracted without
// its folders; empty when it holds none or cannot be read.
QStringList archivePdfNames(const QString& archivePath);

}  // namespace zoma
