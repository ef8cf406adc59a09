# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built by scripts/package.sh. Library dependencies are
# found by dpkg-shlibdeps from what the program links; the font and Qt's
# translations are named, since nothing links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zoma-review)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZOMA review tool maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "review tool for the Chinese amateur-radio operator certificate exam")
set(CPACK_PACKAGE_DESCRIPTION
    "Imports the question-bank package of the Chinese amateur-radio station operator
certificate examination (levels A, B and C), steps through the questions of one
level with their pictures, remembers the last question and exports a level's
questions to a text file. A sample bank is included.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian keeps each package's licence as /usr/share/doc/<package>/copyright.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME} RENAME copyright)
include(CPack)
