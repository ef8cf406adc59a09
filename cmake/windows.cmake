# SPDX-License-Identifier: GPL-3.0-or-later
# What the Windows folder holds beside the program (scripts/windows/build.sh
# adds the libraries, Qt's plugins and translations, and makes the installer).
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
