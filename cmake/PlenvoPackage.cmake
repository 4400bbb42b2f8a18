# `cpack -G DEB` in a build configured for it (`make deb`): plenvo_<version>_amd64.deb holding
# exactly what the install rules put under /usr. The shared libraries it needs come from
# dpkg-shlibdeps; Depends adds what the binary loads or reads without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plenvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Plenvo developers <plenvo@plenvo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for large technical drawings in PDF files")
# The extended description; CPack puts the summary above it and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Plenvo shows A0/A1 blueprint sheets and dense CAD exports: zoom from 10 % to
800 % with the scroll wheel, drag to pan, search the text, rotate pages and
present full screen. Its interface is in Simplified Chinese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine (a Qt plugin, in libqt6svg6) draws the window icon; the interface's
# Chinese text needs a CJK font; Qt's own dialogs read qtbase_zh_CN.qm from Qt's translations
# folder; the PNG icons sit in the hicolor theme, whose trigger refreshes its cache.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-noto-cjk, qt6-translations-l10n, hicolor-icon-theme")
include(CPack)
