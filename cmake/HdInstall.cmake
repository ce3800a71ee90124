# Where installed files go, in one place. Programs go to bin/; a module the programs load at
# run time (a MODULE library, e.g. a decoder loaded on first use) goes to its own folder under
# lib/, which the package carries too. Call these next to the target's definition:
#   hd_install_program(<target>)   hd_install_module(<target>)
# The Debian package (packaging/) takes whatever these install; nothing else needs changing.
include(GNUInstallDirs)

# lib/hologram-display: private to the program, so not in the linker's search path.
set(HD_INSTALL_MODULEDIR "${CMAKE_INSTALL_LIBDIR}/hologram-display" CACHE STRING
    "Folder (relative to the prefix) for the modules the programs load at run time")
# The same folder as seen from the programs' folder, for a loader that looks beside itself.
file(RELATIVE_PATH HD_MODULEDIR_FROM_BINDIR "/${CMAKE_INSTALL_BINDIR}" "/${HD_INSTALL_MODULEDIR}")

function(hd_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

function(hd_install_module target)
  install(TARGETS ${target}
          LIBRARY DESTINATION ${HD_INSTALL_MODULEDIR}
          RUNTIME DESTINATION ${HD_INSTALL_MODULEDIR})
endfunction()
