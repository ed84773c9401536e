# The Debian package: cpack --config build/release/CPackConfig.cmake -G DEB
# It holds what cmake --install puts under /usr, finished for Debian by
# packaging/finish_deb_tree.cmake (stripped binary, compressed manual page, changelog and
# copyright file), with Depends computed by dpkg-shlibdeps. lintian reports no error on it.
# Tests: tests/package/package_test.py (scripts/check, after the release build).
set(CPACK_PACKAGE_NAME forth)
set(CPACK_PACKAGE_VENDOR "The forth contributors")
set(CPACK_PACKAGE_CONTACT "The forth contributors <forth@example.org>")
# Debian's synopsis: no leading article, not the package's name, no full stop.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small Forth interpreter for the console and for scripts")
# No double quotes in it: CPack writes it into CPackConfig.cmake without escaping them.
set(CPACK_PACKAGE_DESCRIPTION [[
forth reads a program from standard input one line at a time, runs each line
at once and answers ok. Every value is a double; 31 built-in words cover
arithmetic, comparisons, the stack, output, colon definitions and counted
loops. Words defined with : and ; are kept as text and run by interpreting
that text again.

Any error ends the run with a message and exit status 1, so a failing script
is never taken for a good one. At the console, lines are edited with libedit:
history for the run, and Tab completes the names of words.]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The staging tree's directories must be 0755 whatever the umask of the person packaging.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# An upstream build rather than a Debian source package: version 1.0.0-1, so the packaging
# history is changelog.Debian.gz. packaging/changelog.Debian must start with this version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # forth_1.0.0-1_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # Depends from the libraries the binary links

# Read by the pre-build script, which runs inside cpack with only the CPACK_ variables.
set(CPACK_FORTH_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_FORTH_STRIP ${CMAKE_STRIP})
set(CPACK_FORTH_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_FORTH_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_FORTH_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/finish_deb_tree.cmake)

include(CPack)
