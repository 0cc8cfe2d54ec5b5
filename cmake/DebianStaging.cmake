# Run by CPack between installing into its staging folder and building the
# Debian package: turns the tree `cmake --install` makes into the tree of a
# Debian package.
set(staging ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT EXISTS ${staging}/bin/quadrilex)
  message(FATAL_ERROR "The package's staging folder ${staging} holds no bin/quadrilex")
endif()

# file(INSTALL) would put CPack's DESTDIR in front of the staging paths again.
set(ENV{DESTDIR} "")
# Folders made here get the same modes as those CPack's install made.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(document_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# A plain install puts the executable in bin/, where a ~/.local or /usr/local
# prefix has it on the PATH; a package in section games puts it in /usr/games.
file(INSTALL ${staging}/bin/quadrilex DESTINATION ${staging}/games USE_SOURCE_PERMISSIONS)
file(REMOVE ${staging}/bin/quadrilex)
file(GLOB left_in_bin ${staging}/bin/*)
if(NOT left_in_bin)
  file(REMOVE_RECURSE ${staging}/bin)
endif()

# CPack's strip keeps the compiler's version notes; Debian's packages drop them.
execute_process(COMMAND ${CPACK_QUADRILEX_OBJCOPY} --remove-section=.comment ${staging}/games/quadrilex
                RESULT_VARIABLE objcopy_status)
if(NOT objcopy_status EQUAL 0)
  message(FATAL_ERROR "${CPACK_QUADRILEX_OBJCOPY} could not drop the .comment section of the executable")
endif()

# The file only a Debian package carries, which a plain install leaves out.
file(INSTALL ${CPACK_QUADRILEX_CHANGELOG} DESTINATION ${staging}/share/doc/quadrilex
     FILE_PERMISSIONS ${document_permissions})
