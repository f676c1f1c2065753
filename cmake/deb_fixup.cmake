# Run by cpack after it made the Debian packages (CPACK_POST_BUILD_SCRIPTS): three corrections
# that CMake's DEB generator does not make itself, after which each package is built again with
# dpkg-deb.
#   - the runtime package runs ldconfig through its trigger (its control file "triggers"), so
#     the postinst and postrm scripts that cpack adds to call ldconfig are dropped;
#   - a -dbgsym package lists its file in md5sums by the path relative to the package root (cpack
#     writes the path of its staging folder);
#   - a -dbgsym package has /usr/share/doc/<package>-dbgsym as a link to the folder of the package
#     it belongs to (which it depends on), as Debian's own -dbgsym packages do.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.d?deb$")
    continue()
  endif()
  set(root ${package}.root)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb -R ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS ${root}/DEBIAN/control name REGEX "^Package: ")
  string(REPLACE "Package: " "" name "${name}")
  if(EXISTS ${root}/DEBIAN/triggers)
    file(REMOVE ${root}/DEBIAN/postinst ${root}/DEBIAN/postrm)
  endif()
  if(name MATCHES "^(.*)-dbgsym$")
    file(MAKE_DIRECTORY ${root}/usr/share/doc)
    file(CREATE_LINK ${CMAKE_MATCH_1} ${root}/usr/share/doc/${name} SYMBOLIC)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
    set(sums "")
    foreach(file IN LISTS files)
      if(NOT IS_SYMLINK ${root}/${file})
        file(MD5 ${root}/${file} sum)
        string(APPEND sums "${sum}  ${file}\n")
      endif()
    endforeach()
    file(WRITE ${root}/DEBIAN/md5sums "${sums}")
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${root} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()
