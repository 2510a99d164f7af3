# The Debian package: `cpack --config build/CPackConfig.cmake` writes delvix_VERSION_ARCH.deb with
# everything `cmake --install` installs, under /usr. What Debian expects beyond the install (copyright,
# changelog, compressed manual pages) is added to the staged files by
# DebianStagedFiles.cmake, so a plain install stays as it is.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME delvix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Delvix developers")
set(CPACK_PACKAGE_CONTACT "Delvix developers <delvix@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look inside icon, cursor, animated cursor and wave files")
# The long description, one paragraph a line; CPack indents it for the control file.
set(CPACK_PACKAGE_DESCRIPTION [=[
Delvix shows every structural part of Windows icon, cursor, animated cursor
and wave files, and the icon, cursor and bitmap resources of program modules,
as a tree, with every field in a table.

Values can be edited down to single pixels and mask bits; chunks, INFO items,
images and frames can be added and removed; animations play, wave samples can
be cut and played, and pictures are exported as PNG, BMP, JPEG or GIF. Two
browsers summarise whole folders.

The package holds the Qt program, delvix, and its command-line companion,
delvix-cli.]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/delvix/delvix)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help > Content opens the pages with xdg-open (the program shows them itself without it).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DELVIX_DEBIAN_DIR "${CMAKE_CURRENT_LIST_DIR}/debian")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/DebianStagedFiles.cmake")

include(CPack)
