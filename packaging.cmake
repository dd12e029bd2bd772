# `cpack -G DEB` in the build folder makes the Debian package. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games for Debian's places.
set(CPACK_PACKAGE_NAME blitzfang)
set(CPACK_PACKAGE_VENDOR Kolvar-Bauwerk)
set(CPACK_PACKAGE_CONTACT "Kolvar-Bauwerk <info@kolvar-bauwerk.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Schießspiel mit Szenario-Editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Blitzfang ist ein kleines Schießspiel mit eingebautem Szenario-Editor: Figuren laufen auf ein Ziel zu und werden mit der Maus abgeschossen, bevor eine ankommt.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY blitzfang)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kolvar-bauwerk.de)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps names what the program links; SDL2_mixer is opened with dlopen and Qt's
# platform plugins are loaded at run time, so both are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0, qt6-qpa-plugins")
include(CPack)
