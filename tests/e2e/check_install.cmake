# cmake --install of a build into a DESTDIR puts exactly zelvane-console, its manual page (gzip
# -9n), its copyright file and changelog and its bash completion in place; the page renders without
# warnings, documents every option --help lists and no other; with PACKAGE_DIR set, cpack -G DEB
# builds a package holding the same files, in which lintian (where installed) finds no error.
# A command that fails stops the check with its status.
#   -DBUILD_DIR=... -DDESTDIR=... -DSOURCE_MAN=... -DSOURCE_COMPLETION=... [-DPACKAGE_DIR=...]
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${DESTDIR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${DESTDIR}" ${CMAKE_COMMAND} --install "${BUILD_DIR}"
                --prefix /usr COMMAND_ERROR_IS_FATAL ANY)

set(page "${DESTDIR}/usr/share/man/man1/zelvane-console.1.gz")
set(expected_files usr/bin/zelvane-console usr/share/bash-completion/completions/zelvane-console
    usr/share/doc/zelvane-console/changelog.gz usr/share/doc/zelvane-console/copyright
    usr/share/man/man1/zelvane-console.1.gz)
file(GLOB_RECURSE installed RELATIVE "${DESTDIR}" "${DESTDIR}/*")
list(SORT installed)
if(NOT installed STREQUAL "${expected_files}")
    message(FATAL_ERROR "installed files: ${installed}")
endif()
execute_process(COMMAND gzip -dc "${page}" OUTPUT_VARIABLE page_text COMMAND_ERROR_IS_FATAL ANY)
file(READ "${SOURCE_MAN}" source_text)
file(READ "${SOURCE_COMPLETION}" source_completion)
file(READ "${DESTDIR}/usr/share/bash-completion/completions/zelvane-console" completion)
if(NOT source_text STREQUAL page_text OR NOT source_completion STREQUAL completion)
    message(FATAL_ERROR "the installed manual page or bash completion is not its source")
endif()
file(READ "${DESTDIR}/usr/share/doc/zelvane-console/copyright" copyright)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n" OR
   NOT copyright MATCHES "\nLicense: Expat\n Permission is hereby granted, free of charge,")
    message(FATAL_ERROR "the copyright file: ${copyright}")
endif()

# The page documents exactly the options --help lists.
execute_process(COMMAND "${DESTDIR}/usr/bin/zelvane-console" --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
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
    message(FATAL_ERROR "--help lists ${help_options}; the manual page documents ${page_options}")
endif()

find_program(GROFF groff)
if(GROFF)
    execute_process(COMMAND gzip -dc "${page}" COMMAND "${GROFF}" -man -ww -z -Tutf8 ERROR_VARIABLE warnings
                    COMMAND_ERROR_IS_FATAL ANY)
    if(NOT warnings STREQUAL "")
        message(FATAL_ERROR "groff warns about the manual page: ${warnings}")
    endif()
endif()
find_program(MAN man)
if(MAN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 MANPAGER=cat PAGER=cat "${MAN}" -l "${page}"
                    OUTPUT_VARIABLE rendered ERROR_VARIABLE err)
    set(sections "\nNAME\n.*\nSYNOPSIS\n.*\nOPTIONS\n.*\nANSWERS FILE\n.*\nGAME DETECTION\n")
    if(NOT rendered MATCHES "${sections}.*\nDRY RUN\n.*\nEXIT STATUS\n.*\nEXAMPLES\n")
        message(FATAL_ERROR "man -l shows not every section in order: ${rendered}${err}")
    endif()
endif()

if(PACKAGE_DIR)
    file(REMOVE_RECURSE "${PACKAGE_DIR}")
    execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${PACKAGE_DIR}"
                    OUTPUT_VARIABLE out COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB debs "${PACKAGE_DIR}/zelvane-console_*.deb")
    list(LENGTH debs count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "cpack made ${count} packages: ${out}")
    endif()
    execute_process(COMMAND dpkg-deb --contents ${debs} OUTPUT_VARIABLE contents)
    foreach(file IN LISTS expected_files)
        string(FIND "${contents}" " ./${file}\n" at)
        if(at LESS 0)
            message(FATAL_ERROR "the package lacks ${file}: ${contents}")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb --field ${debs} Package Depends OUTPUT_VARIABLE fields)
    if(NOT fields MATCHES "Package: zelvane-console" OR NOT fields MATCHES "libc6")
        message(FATAL_ERROR "package fields: ${fields}")
    endif()
    find_program(LINTIAN lintian)
    if(LINTIAN)
        execute_process(COMMAND "${LINTIAN}" --fail-on error ${debs} COMMAND_ERROR_IS_FATAL ANY)
    else()
        message(WARNING "lintian is not installed: the package was not checked by it")
    endif()
endif()
