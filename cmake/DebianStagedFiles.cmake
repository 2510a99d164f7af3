# Run by CPack between staging the install and building the .deb: adds the copyright file, the changelog and
# lintian's overrides, compresses the README and the manual pages, and sets the modes Debian expects.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${usr}/bin")
  message(FATAL_ERROR "No staged programs in ${usr}/bin")
endif()
set(doc "${usr}/share/doc/${CPACK_PACKAGE_NAME}")

# file(COPY), not file(INSTALL): CPack's DESTDIR is still set here and would be prefixed twice. The copyright
# file holds the licence's text, which Debian wants in no other file.
file(COPY "${CPACK_DELVIX_DEBIAN_DIR}/copyright" DESTINATION "${doc}")
file(REMOVE "${doc}/LICENSE")
file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
file(COPY_FILE "${CPACK_DELVIX_DEBIAN_DIR}/lintian-overrides" "${usr}/share/lintian/overrides/${CPACK_PACKAGE_NAME}")

# What dh_strip removes beyond CPack's strip: the compilers' names and versions.
find_program(strip NAMES strip REQUIRED)
file(GLOB programs "${usr}/bin/*")
execute_process(COMMAND "${strip}" --remove-section=.comment --remove-section=.note ${programs} COMMAND_ERROR_IS_FATAL ANY)

# gzip -n leaves out the name and the time, so the same sources make the same package.
function(gzip_into source target)
  execute_process(COMMAND gzip -n9 -c "${source}" OUTPUT_FILE "${target}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()
file(STRINGS "${CPACK_DELVIX_DEBIAN_DIR}/changelog" latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^${CPACK_PACKAGE_NAME} \\(${CPACK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog has no entry for ${CPACK_PACKAGE_VERSION} on top: add one")
endif()
gzip_into("${CPACK_DELVIX_DEBIAN_DIR}/changelog" "${doc}/changelog.gz")
gzip_into("${doc}/README.md" "${doc}/README.md.gz")
file(REMOVE "${doc}/README.md")
file(GLOB_RECURSE manual_pages "${usr}/share/man/*.[1-9]")
foreach(page IN LISTS manual_pages)
  gzip_into("${page}" "${page}.gz")
  file(REMOVE "${page}")
endforeach()

# Independent of the umask of whoever builds: directories and programs 0755, every other file 0644.
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(path IN LISTS staged)
  if(IS_DIRECTORY "${path}" OR path MATCHES "/bin/[^/]+$")
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                     WORLD_EXECUTE)
  else()
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
