// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFunctionPointer>
#include <QString>

namespace zoma {

// The parts of the program that bring large libraries with them (the
// extraction engine over libzip, the PDF reader over Poppler and qpdf) are
// modules, loaded when first needed: loading those libraries at every start
// took longer than the rest of the start (see BENCHMARKS.md). A module lies
// beside the program (a build, a copied folder) or where the package
// installs it.
//
// The function called name in the module fileName. A module once loaded
// stays loaded. Null with the reason in error when it cannot be had.
QFunctionPointer moduleFunction(const QString& fileName, const char* name, QString* error);

}  // namespace zoma
