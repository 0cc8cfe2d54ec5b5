# The Debian package: the manual page and the package's own documents, and
# CPack's settings for `cpack -G DEB` (scripts/package.sh). The game's
# executable, desktop entry, metadata, icons and font licence are installed by
# app/; this adds the manual page and the copyright to every install, and the
# changelog to the package alone (DebianStaging.cmake).

set(QUADRILEX_PACKAGE_NAME quadrilex)
set(QUADRILEX_PACKAGE_MAINTAINER "Brindlewick Puzzle Works <quadrilex@brindlewick.example.org>")
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)
set(doc_destination share/doc/${QUADRILEX_PACKAGE_NAME})

# The version lives in project(); the changelog and the AppStream release list
# must have caught up with it, or the package would describe another release.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${QUADRILEX_PACKAGE_NAME} \\(([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog does not start with a \"${QUADRILEX_PACKAGE_NAME} (VERSION)\" entry")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog's latest entry is ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
set(metainfo ${PROJECT_SOURCE_DIR}/res/desktop/example.brindlewick.Quadrilex.metainfo.xml)
file(STRINGS ${metainfo} release_line REGEX "<release version=\"${PROJECT_VERSION}\"")
if(NOT release_line MATCHES "date=\"([0-9]+-[0-9]+-[0-9]+)\"")
  message(FATAL_ERROR "${metainfo} has no dated <release> for ${PROJECT_VERSION}")
endif()
set(QUADRILEX_RELEASE_DATE ${CMAKE_MATCH_1})

# Debian wants its documents compressed with gzip -9n: no name and no time in
# the header, so that the same text always makes the same bytes.
function(quadrilex_gzip source gzipped)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${packaging_out}/gzip/${name}
    COMMAND gzip -9nf ${packaging_out}/gzip/${name}
    COMMAND ${CMAKE_COMMAND} -E rename ${packaging_out}/gzip/${name}.gz ${gzipped}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/docs/quadrilex.6.in ${packaging_out}/quadrilex.6 @ONLY)
quadrilex_gzip(${packaging_out}/quadrilex.6 ${packaging_out}/quadrilex.6.gz)
# A package whose version has no Debian revision is native, and the changelog
# of a native package is changelog.gz.
quadrilex_gzip(${packaging_dir}/changelog ${packaging_out}/changelog.gz)
add_custom_target(quadrilex_package_documents ALL
  DEPENDS ${packaging_out}/quadrilex.6.gz ${packaging_out}/changelog.gz)

install(FILES ${packaging_out}/quadrilex.6.gz DESTINATION share/man/man6)
install(FILES ${packaging_dir}/copyright DESTINATION ${doc_destination})

# The package: quadrilex_<version>_amd64.deb, in section games.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QUADRILEX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brindlewick Puzzle Works")
set(CPACK_PACKAGE_CONTACT "${QUADRILEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed tile puzzle of shapes and arrows")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${packaging_dir}/description)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUADRILEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the executable links (Qt, the C++
# runtime). SDL2 is not one of them: it is loaded with dlopen when the first
# sound plays, and without it the game plays in silence, so it is recommended
# rather than required. The Wayland plugin is what makes the game a native
# Wayland client; under X11 or XWayland the game runs without it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsdl2-2.0-0, qt6-wayland")
# What Debian expects of a package's files: stripped executables, and
# directories and control files no one but root can write.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The Debian layout of the staged install, and Debian's own files in it.
set(CPACK_QUADRILEX_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_QUADRILEX_CHANGELOG ${packaging_out}/changelog.gz)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStaging.cmake)
include(CPack)
