# Run by CPack between installing into its staging folder and building the
# Debian package. A plain `cmake --install` puts the executable in bin/, where
# a ~/.local or /usr/local prefix has it on the PATH; a Debian package in
# section games puts it in /usr/games instead.
set(staging ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT EXISTS ${staging}/bin/quadrilex)
  message(FATAL_ERROR "The package's staging folder ${staging} holds no bin/quadrilex")
endif()
file(MAKE_DIRECTORY ${staging}/games)
file(RENAME ${staging}/bin/quadrilex ${staging}/games/quadrilex)
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
