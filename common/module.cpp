// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/module.h"

#include "common/system_error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

#include <cerrno>

QFunctionPointer zoma::moduleFunction(const QString& fileName, const char* name, QString* error) {
    const QString dir = QCoreApplication::applicationDirPath() + u'/';
    bool found = false;
    for (const QString& path :
         {dir + fileName, dir + QStringLiteral(ZOMA_MODULE_DIR) + u'/' + fileName}) {
        // Never unloaded: QLibrary leaves a loaded library alone when it goes.
        QLibrary library(path);
        if (library.load()) {
            const QFunctionPointer function = library.resolve(name);
            if (!function) {
                *error = QStringLiteral("%1 中没有 %2").arg(path, QLatin1String(name));
            }
            return function;
        }
        // A module that is there but does not load (a library it needs is
        // missing, say) says more than one that is not there; the loader's
        // own text names that library.
        const bool there = QFileInfo::exists(path);
        if (there && !found) *error = library.errorString();
        found = found || there;
    }
    if (!found) *error = QStringLiteral("%1：%2").arg(fileName, zoma::errnoReason(ENOENT));
    return nullptr;
}
