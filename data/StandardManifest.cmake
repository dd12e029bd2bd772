# The manifest of the standard media, run as a script:
#
#   cmake -DSTANDARD=data/Standard -DHISTORY=data/standard-media-history.txt -DOUTPUT=FILE -P data/StandardManifest.cmake
#
# writes FILE: every file below STANDARD with its size and SHA-256 ("current ..."), then every
# earlier version that the history holds ("earlier ..."). An installed program replaces a player's
# copy that still equals an earlier version (game/ShippedStandard.h). The history must hold the
# current files too: a player who got one could not be brought up to date later. When a release
# changes the standard media, it appends them to the history:
#
#   cmake -DSTANDARD=data/Standard -DHISTORY=data/standard-media-history.txt -DRECORD=1.2.0 -P data/StandardManifest.cmake
#
# History lines: "<release> <size> <sha256> <file below Standard>"; lines starting with # are
# comments. Manifest lines, ending in CR LF: "current|earlier <size> <sha256> <file>".

cmake_minimum_required(VERSION 3.25)

foreach(variable STANDARD HISTORY)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "StandardManifest.cmake needs -D${variable}=...")
    endif()
    # Relative to the working folder.
    cmake_path(ABSOLUTE_PATH ${variable} NORMALIZE)
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STANDARD} ${STANDARD}/*)
list(SORT files)
set(current)
foreach(name ${files})
    file(SIZE ${STANDARD}/${name} size)
    file(SHA256 ${STANDARD}/${name} hash)
    list(APPEND current "${size} ${hash} ${name}")
endforeach()

set(history)
if(EXISTS ${HISTORY})
    file(STRINGS ${HISTORY} lines)
    foreach(line ${lines})
        if(line MATCHES "^[^# ]+ ([0-9]+ [0-9a-f]+ .+)$")
            list(APPEND history "${CMAKE_MATCH_1}")
        endif()
    endforeach()
endif()

set(unrecorded)
foreach(entry ${current})
    if(NOT entry IN_LIST history)
        list(APPEND unrecorded "${entry}")
    endif()
endforeach()

if(DEFINED RECORD)
    foreach(entry ${unrecorded})
        file(APPEND ${HISTORY} "${RECORD} ${entry}\n")
        message(STATUS "recorded ${RECORD} ${entry}")
    endforeach()
    return()
endif()

if(unrecorded)
    list(JOIN unrecorded "\n  " missing)
    message(FATAL_ERROR "The standard media hold files that ${HISTORY} does not list:\n  ${missing}\n"
                        "Record them as the release that ships them:\n"
                        "  cmake -DSTANDARD=${STANDARD} -DHISTORY=${HISTORY} -DRECORD=<version> "
                        "-P ${CMAKE_CURRENT_LIST_FILE}")
endif()

set(manifest "Blitzfang: Prüfsummen der mitgelieferten Standard-Medien\r\n")
foreach(entry ${current})
    string(APPEND manifest "current ${entry}\r\n")
endforeach()
list(REMOVE_DUPLICATES history)
foreach(entry ${history})
    if(NOT entry IN_LIST current)
        string(APPEND manifest "earlier ${entry}\r\n")
    endif()
endforeach()
file(WRITE ${OUTPUT}.new "${manifest}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
