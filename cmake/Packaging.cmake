# Debian packages, one per install component: brevo-verify (component cli) and, when the app is
# built, brevo-verifier (component desktop). They do not depend on each other, so that a build
# server takes the command without Qt and a desktop the app without the command.
# scripts/package.sh builds them (cpack -G DEB in build-package/) and checks what they hold.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_VENDOR "The Brevo Verifier team")
set(CPACK_PACKAGE_CONTACT "The Brevo Verifier team <team@brevo-verifier.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Debian revision 1 of the upstream version: resources/changelog has its entry.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The binaries are stripped as their symbols go into the -dbgsym packages (.ddeb), which
# debuggers find by the build id; stripping them before would leave nothing to split off.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_OBJCOPY_EXECUTABLE ${PROJECT_SOURCE_DIR}/cmake/objcopy-for-debian.sh)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RepackDebugPackages.cmake)

set(CPACK_COMPONENTS_ALL cli)
if(BREVO_BUILD_APP)
  list(APPEND CPACK_COMPONENTS_ALL desktop)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Both packages come from the one source, whose changelog they carry.
set(CPACK_DEBIAN_PACKAGE_SOURCE brevo-verifier)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends comes from the libraries the binaries link (dpkg-shlibdeps), so Qt stays out of
# brevo-verify by construction.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME brevo-verify)
# The first line is the synopsis; the rest is wrapped below 80 columns, as dpkg shows it.
set(CPACK_DEBIAN_CLI_DESCRIPTION
  "check translated BRX files against their sources (command line)
brevo-verify reads translated BRX files and their source files, checks that
the tags are still well formed and in their places, and compares the tags of
each translation with those of its source. Every pair with findings gets a
numbered report of errors, alerts and warnings beside the translated file.
The exit status tells a script whether the batch is clean, and the findings
can also be written as JSON or SARIF, or as compiler-style lines for editors
and CI logs.")

set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME brevo-verifier)
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION
  "check translated BRX files against their sources (desktop app)
The Brevo Verifier checks translated BRX files before they are converted
back: it reads each translated file and its source, checks the tags of both
and compares them, and writes a numbered report of errors, alerts and
warnings for every pair with findings. The batch runs in a window, with the
results list, the reports and a help page at hand.")

# A source package made from a working tree must not take the build trees along.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.cache/")

include(CPack)
