# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the staging tree, after the install rules and
# before the package is made: what Debian wants beyond what cmake --install gives. The
# binary is stripped as Debian's dh_strip strips it: symbols, and the compiler's .comment
# and .note sections, which CPACK_STRIP_FILES leaves. Manual pages are compressed with
# gzip -9n (no name, no time stamp); changelog.Debian.gz comes from
# packaging/changelog.Debian; and the machine-readable copyright file is made from LICENSE,
# which then leaves the tree, since the copyright file carries the same text. Plain
# cmake --install never runs this.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(docdir "${root}/${CPACK_FORTH_DOCDIR}")
set(version "${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

function(gzip_for_debian file)
    execute_process(COMMAND gzip -9nf "${file}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Files written here would otherwise take the packager's umask.
function(make_world_readable file)
    file(CHMOD "${file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

execute_process(COMMAND "${CPACK_FORTH_STRIP}" --remove-section=.comment --remove-section=.note
    "${root}/${CPACK_FORTH_BINDIR}/forth" COMMAND_ERROR_IS_FATAL ANY)

file(GLOB_RECURSE manual_pages "${root}/${CPACK_FORTH_MANDIR}/*.[1-9]")
foreach(page IN LISTS manual_pages)
    gzip_for_debian("${page}")
endforeach()

# The packaging history must describe the package being made: a version bumped in
# project() without a new changelog entry stops here.
file(STRINGS "${CPACK_FORTH_SOURCE_DIR}/packaging/changelog.Debian" changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${CPACK_PACKAGE_NAME} \\(([^)]*)\\) " OR NOT CMAKE_MATCH_1 STREQUAL version)
    message(FATAL_ERROR "packaging/changelog.Debian starts with \"${changelog_head}\": "
        "its first entry must be for ${CPACK_PACKAGE_NAME} ${version}")
endif()
configure_file("${CPACK_FORTH_SOURCE_DIR}/packaging/changelog.Debian" "${docdir}/changelog.Debian" COPYONLY)
make_world_readable("${docdir}/changelog.Debian")
gzip_for_debian("${docdir}/changelog.Debian")

# LICENSE is the MIT licence: a title, the copyright line, then the text. Debian calls it
# Expat; in the copyright file every line of the text is indented and a blank line is " .".
file(READ "${CPACK_FORTH_SOURCE_DIR}/LICENSE" licence)
if(NOT licence MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
    message(FATAL_ERROR "LICENSE: expected the MIT licence: title, copyright line, text")
endif()
set(holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" licence_text)
string(REGEX REPLACE "\n\n" "\n.\n" licence_text "${licence_text}")
string(REPLACE "\n" "\n " licence_text " ${licence_text}")
file(WRITE "${docdir}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${CPACK_PACKAGE_NAME}

Files: *
Copyright: ${holder}
License: Expat
${licence_text}
")
make_world_readable("${docdir}/copyright")
file(REMOVE "${docdir}/LICENSE")
