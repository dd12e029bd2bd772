# `cpack -G DEB` in the build folder makes the Debian package; tools/make-package.sh configures
# that build as a Debian package wants it (/usr/games, hardening flags, libjpeg-turbo inside).
set(CPACK_PACKAGE_NAME blitzfang)
set(CPACK_PACKAGE_VENDOR Kolvar-Bauwerk)
set(CPACK_PACKAGE_CONTACT "Kolvar-Bauwerk <info@kolvar-bauwerk.de>")
# The summary stays German like the game; the extended description is English, as Debian's
# tools expect, in lines shorter than 80 columns.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Schießspiel mit Szenario-Editor")
set(CPACK_PACKAGE_DESCRIPTION [[
Blitzfang is a small shooting game with a built-in scenario editor. Figures
enter the field at the top or left edge and walk towards the target in the
bottom right corner: shoot them with the mouse before one arrives. A click on
the mothership fires a shot at it; destroying it wins the game.

Everything seen and heard belongs to a scenario: pictures, captions, colours
and sounds. The editor makes new scenarios, each with its own highscore list,
and passes them on as one file. The game speaks German.]])
set(CPACK_PACKAGE_INSTALL_DIRECTORY blitzfang)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kolvar-bauwerk.de)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps names what the program links (Qt's packages on Ubuntu 24.04 carry a t64
# suffix and provide these names). SDL2_mixer and libarchive are opened with dlopen, so they
# are named here, libarchive also by its t64 name. The X platform plugin comes with libqt6gui6; the Wayland one is qt6-wayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0, libarchive13 | libarchive13t64")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
