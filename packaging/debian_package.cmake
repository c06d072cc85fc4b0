# The Debian package, made from an install of the build by `cpack -G DEB`
# in the build folder. Read from the top-level list, after every install
# rule, so that CPack packs the whole project.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillfen)
set(CPACK_PACKAGE_VERSION ${QUILLFEN_RELEASE_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLFEN_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "${QUILLFEN_AUTHORS}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${QUILLFEN_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillfen is a small window with two text boxes. Paste JSON text into the
upper box and press Convert: the lower box shows the same text with a line
break after every opening brace, before every closing brace and in place
of every comma, and with the tabs and line feeds of the input removed.

The package also holds quillfen-format, the same conversion on the command
line. Neither parses nor checks the JSON: a comma inside a string breaks
the line too.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUILLFEN_HOMEPAGE}")
# The libraries the binaries link come from dpkg-shlibdeps; Qt loads its
# window-system plugin at run time, which no link names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# The toolkit's own texts, so that menus speak the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
