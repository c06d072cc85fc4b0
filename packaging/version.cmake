# The program's version record, written once. The Linux build and the
# Windows resource script are both generated from these values.
# Read before project(), which takes its version from here.
set(QUILLFEN_PRODUCT_NAME "Quillfen")
set(QUILLFEN_INTERNAL_NAME "Quillfen")
set(QUILLFEN_ORIGINAL_FILENAME "Quillfen.exe")
set(QUILLFEN_FILE_VERSION "1.00")
set(QUILLFEN_PRODUCT_VERSION "1.00")
# Numeric file and product version: major, minor, build, revision.
set(QUILLFEN_VERSION_MAJOR 1)
set(QUILLFEN_VERSION_MINOR 0)
set(QUILLFEN_VERSION_BUILD 0)
set(QUILLFEN_VERSION_REVISION 0)
# The version of a release everywhere but the Windows version record's
# text fields above, which keep their own form: the project, the metainfo
# and the Debian package.
set(QUILLFEN_RELEASE_VERSION
  "${QUILLFEN_VERSION_MAJOR}.${QUILLFEN_VERSION_MINOR}.${QUILLFEN_VERSION_BUILD}")
set(QUILLFEN_FILE_FLAGS 0)
set(QUILLFEN_FILE_OS 4)          # 32-bit Windows
set(QUILLFEN_FILE_TYPE 1)        # application
set(QUILLFEN_STRING_TABLE "040904B0")
set(QUILLFEN_LANGUAGE 0x0409)
set(QUILLFEN_CODE_PAGE 1200)
# The application's identifier on Linux, in reverse domain order under a
# domain the project holds: the name of the desktop entry, the metainfo
# and the icons, and what the running program calls itself to the desktop.
set(QUILLFEN_APP_ID "io.github.quillfen.quillfen")
# The day the version above was released, for the metainfo and the
# Debian changelog.
set(QUILLFEN_RELEASE_DATE "2026-12-08")
set(QUILLFEN_LICENSE "MIT")
set(QUILLFEN_AUTHORS "The Quillfen authors")
set(QUILLFEN_MAINTAINER "${QUILLFEN_AUTHORS} <quillfen@users.noreply.github.com>")
# One line on what the program does: the desktop entry's comment, the
# metainfo's summary, the Debian package's synopsis.
set(QUILLFEN_SUMMARY "Break pasted JSON text into readable lines")
set(QUILLFEN_HOMEPAGE "https://github.com/quillfen/quillfen")
set(QUILLFEN_SCREENSHOT_URL "https://raw.githubusercontent.com/quillfen/quillfen/main/docs/screenshot.png")
