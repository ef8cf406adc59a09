// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

namespace zoma {

// The language of Qt's own texts: Chinese, as the program's own texts are,
// in traditional characters for a user who reads them (Taiwan, Hong Kong,
// Macao), simplified otherwise, whatever other language the system speaks.
// "zh_CN" or "zh_TW".
QString qtTextLanguage(const QLocale& locale);

// Makes Qt's own texts (the buttons of message boxes, file dialogs, the
// context menu of text boxes) Chinese, from Qt's translation files: first a
// "translations" folder beside the program (a copied or Windows folder), then
// where Qt keeps them. The translator belongs to the application; deleting it
// takes the texts back. Null when no file was found.
QTranslator* installQtTranslations(const QString& programDir,
                                   const QLocale& locale = QLocale::system());

}  // namespace zoma
