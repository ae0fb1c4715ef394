# Run by cpack once the packages are made (CPACK_POST_BUILD_SCRIPTS). The -dbgsym packages of
# CPack 3.25 list their files in md5sums by the build tree's absolute paths, keep the debug
# files executable and have no /usr/share/doc; each is rebuilt as Debian's own are: md5sums
# of the files as installed, the debug files 0644, and its doc directory a link to that of
# the package whose symbols it holds, on which it depends at the exact version.
set(debug_packages ${CPACK_PACKAGE_FILES})
list(FILTER debug_packages INCLUDE REGEX "-dbgsym_[^/]*\\.ddeb$")
foreach(package IN LISTS debug_packages)
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb -f "${package}" Package
                  OUTPUT_VARIABLE name OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE "-dbgsym$" "" parent "${name}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK "${parent}" "${tree}/usr/share/doc/${name}" SYMBOLIC)
  file(GLOB_RECURSE debug_files "${tree}/usr/lib/debug/*.debug")
  foreach(debug_file IN LISTS debug_files)
    file(CHMOD "${debug_file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
  execute_process(
    COMMAND sh -c "find usr -type f | LC_ALL=C sort | xargs md5sum > DEBIAN/md5sums"
    WORKING_DIRECTORY "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
