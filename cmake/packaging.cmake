# What `cmake --install` puts in place and what the package target archives: the programs (no
# test binaries) and the documentation. Linux: bin/ and share/doc/5200WinCmd/ in a tar.gz, with
# the emulator tool that makes the adapters the programs run against. Windows: one flat folder of
# statically linked programs in a ZIP, as a technician copies it to a station, with a quick start
# for a Windows station beside the README.
set(qnt_programs 5200WinCmd qnt5200-image qnt5200-record qnt5200-rig)
if(WIN32)
  set(qnt_program_dir .)
  set(qnt_doc_dir .)
  set(CPACK_GENERATOR ZIP)
  set(qnt_system windows-x86_64)
  install(FILES docs/QUICKSTART-WINDOWS.txt DESTINATION ${qnt_doc_dir})
else()
  include(GNUInstallDirs)
  list(APPEND qnt_programs qnt5200-emu)
  set(qnt_program_dir ${CMAKE_INSTALL_BINDIR})
  set(qnt_doc_dir ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ)
  set(qnt_system linux-${CMAKE_SYSTEM_PROCESSOR})
  install(FILES emu/README.md DESTINATION ${qnt_doc_dir}/emu)
endif()

install(TARGETS ${qnt_programs} RUNTIME DESTINATION ${qnt_program_dir})
install(FILES README.md DESTINATION ${qnt_doc_dir})
install(DIRECTORY examples DESTINATION ${qnt_doc_dir})

set(CPACK_PACKAGE_NAME 5200WinCmd)
set(CPACK_PACKAGE_VENDOR 5200WinCmd)
set(CPACK_PACKAGE_FILE_NAME 5200WinCmd-${PROJECT_VERSION}-${qnt_system})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
include(CPack)
