// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace zoma {

// GBK, code page 936, through the system's own converter: Qt's on Linux,
// the code page of Windows there (Qt has no GBK of its own on Windows).

// The text of GBK bytes; a sequence GBK does not define becomes U+FFFD.
QString fromGbk(QByteArrayView bytes);

// The GBK bytes of text; *complete is false when some character has no GBK
// code (what those became is then undefined).
QByteArray toGbk(QStringView text, bool* complete);

}  // namespace zoma
