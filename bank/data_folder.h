// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder that holds the library, the record and the exports. It is the
// program's own folder when that can be written (a build folder, a copied
// folder, a USB stick) and is not the folder the program was installed to;
// otherwise it is userDir, created here when missing. Decided once at start,
// so one run never mixes the two places.
QString chooseDataFolder(const QString& programDir, const QString& installedDir,
                         const QString& userDir);

// The same for this process: the installed folder is the one the build was
// configured to install to, the user's folder is the per-user data location.
QString dataFolder(const QString& programDir);
