# What a Debian package holds beside the program, and cmake --install puts in place as well: the
# manual page and the changelog compressed as Debian wants them (gzip -9n), the copyright file
# (the project's licence in Debian's machine-readable form) and the bash completion.
find_program(GZIP gzip REQUIRED)
set(ZELVANE_MAINTAINER "${ZELVANE_PACKAGE_CONTACT}")
set(docs ${CMAKE_CURRENT_BINARY_DIR}/docs)
file(MAKE_DIRECTORY ${docs})

# The changelog's date is the time of the build, or SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP ZELVANE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${docs}/changelog @ONLY)

# The licence text is LICENSE's; Debian calls MIT as written there "Expat".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license}")
set(holders "${CMAKE_MATCH_1}")
string(FIND "${license}" "Permission is hereby granted" start)
string(SUBSTRING "${license}" ${start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${docs}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: Zelvane\n"
    "\n"
    "Files: *\n"
    "Copyright: ${holders}\n"
    "License: Expat\n"
    "\n"
    "License: Expat\n"
    " ${terms}\n")

add_custom_command(OUTPUT ${docs}/zelvane-console.1.gz ${docs}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/man/zelvane-console.1 ${docs}/zelvane-console.1
    COMMAND ${GZIP} -9nf ${docs}/zelvane-console.1
    COMMAND ${CMAKE_COMMAND} -E copy ${docs}/changelog ${docs}/changelog.plain
    COMMAND ${GZIP} -9nf ${docs}/changelog.plain
    COMMAND ${CMAKE_COMMAND} -E rename ${docs}/changelog.plain.gz ${docs}/changelog.gz
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/man/zelvane-console.1 ${docs}/changelog
    VERBATIM)
add_custom_target(zelvane-console-documents DEPENDS ${docs}/zelvane-console.1.gz ${docs}/changelog.gz)
add_dependencies(zelvane-console zelvane-console-documents)

install(FILES ${docs}/zelvane-console.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs}/copyright ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelvane-console)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/completion/zelvane-console
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
