# cmake --install of a build into a DESTDIR puts exactly zelvane-console, its manual page (gzip
# -9n), its copyright file and changelog and its bash completion in place; the page renders without
# warnings, documents every option --help lists and no other; with PACKAGE_DIR set, cpack -G DEB
# builds a package holding the same files, in which lintian (where installed) finds no error.
#   -DBUILD_DIR=... -DDESTDIR=... -DSOURCE_MAN=... -DSOURCE_COMPLETION=... [-DPACKAGE_DIR=...]
cmake_minimum_required(VERSION 3.25)

function(fail message)
    message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE "${DESTDIR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${DESTDIR}" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("cmake --install failed: ${out}${err}")
endif()

set(program "${DESTDIR}/usr/bin/zelvane-console")
set(page "${DESTDIR}/usr/share/man/man1/zelvane-console.1.gz")
set(expected_files
    usr/bin/zelvane-console
    usr/share/bash-completion/completions/zelvane-console
    usr/share/doc/zelvane-console/changelog.gz
    usr/share/doc/zelvane-console/copyright
    usr/share/man/man1/zelvane-console.1.gz)
file(GLOB_RECURSE installed RELATIVE "${DESTDIR}" "${DESTDIR}/*")
list(SORT installed)
if(NOT installed STREQUAL "${expected_files}")
    fail("installed files: ${installed}")
endif()
execute_process(COMMAND gzip -dc "${page}" OUTPUT_VARIABLE page_text RESULT_VARIABLE rc)
file(READ "${SOURCE_MAN}" source_text)
if(NOT rc EQUAL 0 OR NOT source_text STREQUAL page_text)
    fail("the installed manual page is not its source, compressed")
endif()
file(READ "${DESTDIR}/usr/share/bash-completion/completions/zelvane-console" completion_text)
file(READ "${SOURCE_COMPLETION}" source_completion)
if(NOT completion_text STREQUAL source_completion)
    fail("the installed bash completion differs from its source")
endif()
file(READ "${DESTDIR}/usr/share/doc/zelvane-console/copyright" copyright)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n" OR
   NOT copyright MATCHES "\nLicense: Expat\n Permission is hereby granted, free of charge,")
    fail("the copyright file: ${copyright}")
endif()

execute_process(COMMAND "${program}" --help RESULT_VARIABLE rc OUTPUT_VARIABLE help)
if(NOT rc EQUAL 0)
    fail("the installed program does not run: ${rc}")
endif()

# The page documents exactly the options --help lists.
string(REGEX MATCHALL "\n  (-h,)?--[a-z-]+" help_options "${help}")
list(TRANSFORM help_options REPLACE "^\n  (-h,)?" "")
string(REGEX MATCHALL "\n\\.(B|BI|BR) [^\n\\\\]*\\\\-\\\\-[a-z\\\\-]+" page_options "${page_text}")
list(TRANSFORM page_options REPLACE "^\n[^\\\\]*" "")
list(TRANSFORM page_options REPLACE "\\\\-" "-")
foreach(options help_options page_options)
    list(REMOVE_DUPLICATES ${options})
    list(SORT ${options})
endforeach()
if(NOT help_options STREQUAL page_options)
    fail("--help lists ${help_options}; the manual page documents ${page_options}")
endif()

find_program(GROFF groff)
if(GROFF)
    execute_process(COMMAND gzip -dc "${page}" COMMAND "${GROFF}" -man -ww -z -Tutf8
                    RESULT_VARIABLE rc ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
        fail("groff warns about the manual page: ${warnings}")
    endif()
endif()
find_program(MAN man)
if(MAN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 MANPAGER=cat PAGER=cat "${MAN}" -l "${page}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE rendered ERROR_VARIABLE err)
    foreach(section NAME SYNOPSIS OPTIONS "ANSWERS FILE" "GAME DETECTION" "DRY RUN" "EXIT STATUS" EXAMPLES)
        string(FIND "${rendered}" "\n${section}\n" at)
        if(at LESS 0)
            fail("man -l shows no section ${section}: ${err}")
        endif()
    endforeach()
endif()

if(PACKAGE_DIR)
    file(REMOVE_RECURSE "${PACKAGE_DIR}")
    execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${PACKAGE_DIR}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("cpack failed: ${out}${err}")
    endif()
    file(GLOB debs "${PACKAGE_DIR}/zelvane-console_*.deb")
    list(LENGTH debs count)
    if(NOT count EQUAL 1)
        fail("cpack made ${count} packages: ${out}")
    endif()
    execute_process(COMMAND dpkg-deb --contents ${debs} OUTPUT_VARIABLE contents)
    foreach(file IN LISTS expected_files)
        string(FIND "${contents}" " ./${file}\n" at)
        if(at LESS 0)
            fail("the package lacks ${file}: ${contents}")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb --field ${debs} Package Depends OUTPUT_VARIABLE fields)
    if(NOT fields MATCHES "Package: zelvane-console" OR NOT fields MATCHES "libc6")
        fail("package fields: ${fields}")
    endif()
    find_program(LINTIAN lintian)
    if(LINTIAN)
        execute_process(COMMAND "${LINTIAN}" --fail-on error ${debs} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                        ERROR_VARIABLE err)
        if(NOT rc EQUAL 0)
            fail("lintian finds errors in the package: ${out}${err}")
        endif()
    else()
        message(WARNING "lintian is not installed: the package was not checked by it")
    endif()
endif()
