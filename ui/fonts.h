// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace zoma {

// 宋体 at the given size, falling back to an installed CJK font where the
// machine has no 宋体.
QFont songti(qreal pointSize);

// Lets every request for 宋体 reach a CJK font; called once at start-up.
void installFontFallbacks();

}  // namespace zoma
