# Run by cpack once it has made the packages (CPACK_POST_BUILD_SCRIPTS), for what CPack 3.25
# cannot say itself: the game's package records the libjpeg-turbo inside it (Built-Using), and
# the debug symbols package gets the checksums of its own files (CPack lists them by their
# temporary paths) and, as Debian's debug packages have, a link to the game's documentation.
# Each package is unpacked and made again with dpkg-deb, every time in it SOURCE_DATE_EPOCH's.

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN}: ${error}")
    endif()
endfunction()

# The md5sums of every file of the unpacked package `tree`, as dpkg lists them.
function(write_md5sums tree)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*)
    list(FILTER files EXCLUDE REGEX "^DEBIAN/")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        if(NOT IS_SYMLINK ${tree}/${file})
            file(MD5 ${tree}/${file} sum)
            string(APPEND sums "${sum}  ${file}\n")
        endif()
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${sums}")
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    run(dpkg-deb -R ${package} ${tree})
    if(package MATCHES "\\.ddeb$")
        file(MAKE_DIRECTORY ${tree}/usr/share/doc)
        file(CREATE_LINK ${CPACK_PACKAGE_NAME} ${tree}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym SYMBOLIC)
        write_md5sums(${tree})
    elseif(CPACK_BLITZFANG_BUILT_USING)
        file(READ ${tree}/DEBIAN/control control)
        string(REPLACE "\nDescription:" "\nBuilt-Using: ${CPACK_BLITZFANG_BUILT_USING}\nDescription:" control "${control}")
        file(WRITE ${tree}/DEBIAN/control "${control}")
    endif()
    run(find ${tree} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +)
    run(dpkg-deb --root-owner-group -Zgzip -b ${tree} ${package})
    file(REMOVE_RECURSE ${tree})
endforeach()
