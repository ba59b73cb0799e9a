# The Windows programs' resources: a version resource whose numbers are the project's version,
# and a manifest with the execution level the program needs. The resource compiler is MinGW's
# windres, through CMake's RC language (enabled with the Windows build).

# Gives |target| (a program named |target|.exe) its resources: |description| is the version
# resource's file description, |level| the manifest's requestedExecutionLevel.
function(qnt_windows_resources target description level)
  set(QNT_RC_PROGRAM ${target})
  set(QNT_RC_DESCRIPTION ${description})
  set(QNT_RC_LEVEL ${level})
  set(dir ${CMAKE_BINARY_DIR}/resources/${target})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${dir}/${target}.manifest
                 @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # windres finds the manifest beside the script; a new manifest rebuilds the resource.
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS ${dir}/${target}.manifest)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()

# The driver opens its control device for administrators only.
qnt_windows_resources(5200WinCmd "5200 Windows Command Line Utility" requireAdministrator)
qnt_windows_resources(qnt5200-image "QNT5200 image inspector" asInvoker)
qnt_windows_resources(qnt5200-record "QNT5200 per-board record reader" asInvoker)
# The rig asks the driver for its adapters, and its runs need the rights 5200WinCmd asks for.
qnt_windows_resources(qnt5200-rig "QNT5200 multi-slot fixture" requireAdministrator)
# The test build asks for what the product asks for; Wine runs it all the same.
qnt_windows_resources(5200WinCmd-emu "5200 Windows Command Line Utility (emulated adapters)"
                      requireAdministrator)
