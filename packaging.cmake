# `cpack -G DEB` in the build folder makes the Debian package; tools/make-package.sh configures
# that build as a Debian package wants it (/usr/games, hardening flags, libjpeg-turbo inside).
set(CPACK_PACKAGE_NAME blitzfang)
set(CPACK_PACKAGE_VENDOR Kolvar-Bauwerk)
set(CPACK_PACKAGE_CONTACT "Kolvar-Bauwerk <info@kolvar-bauwerk.de>")
# Summary and description are English, as Debian's tools expect, in lines shorter than 80
# columns; the German ones are in the metainfo's translations.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shooting game with a scenario editor")
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
# dpkg-shlibdeps names what the programs link (Qt's packages on Ubuntu 24.04 carry a t64
# suffix and provide these names). SDL2, SDL2_mixer and libarchive are opened with dlopen, so
# they are named here, libarchive also by its t64 name. The X platform plugin comes with
# libqt6gui6; the Wayland one is qt6-wayland. libfile-mimeinfo-perl lets xdg-open find the
# file type of a scenario package where no desktop environment runs (README).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0, libsdl2-2.0-0, libarchive13 | libarchive13t64")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libfile-mimeinfo-perl")
# The debug symbols go into a package of their own beside the game (blitzfang-dbgsym, a .ddeb),
# by which a crash report of the stripped programs can be read.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# Both packages name the source they come from, by which lintian checks them together.
set(CPACK_DEBIAN_PACKAGE_SOURCE blitzfang)
if(BLITZFANG_STATIC_JPEG)
    # The libjpeg-turbo inside the programs is recorded with the version of the source it came
    # from (data/DebianPackages.cmake writes it).
    execute_process(COMMAND dpkg-query -W "-f=\${source:Package} (= \${source:Version})" libjpeg62-turbo-dev
                    OUTPUT_VARIABLE CPACK_BLITZFANG_BUILT_USING RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR CPACK_BLITZFANG_BUILT_USING STREQUAL "")
        message(FATAL_ERROR "BLITZFANG_STATIC_JPEG: libjpeg62-turbo-dev is not installed")
    endif()
endif()
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/data/DebianPackages.cmake)
# Two builds of the same source give the same package: every time in it is the newest
# CHANGELOG entry's (cpack reads SOURCE_DATE_EPOCH while it runs this file).
execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_CURRENT_SOURCE_DIR}/CHANGELOG -STimestamp
                OUTPUT_VARIABLE BLITZFANG_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "CHANGELOG: dpkg-parsechangelog finds no date")
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{SOURCE_DATE_EPOCH} ${BLITZFANG_SOURCE_DATE_EPOCH})\n")
include(CPack)
