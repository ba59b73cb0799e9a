# Run at every build (cmake -P): writes OUTPUT, a source file defining BuildCommit(), with the
# commit of the checkout in SOURCE_DIR. The file is rewritten only when its text changes, so a
# build on the same commit compiles and links nothing again.
execute_process(
  COMMAND git -C ${SOURCE_DIR} describe --always --dirty --abbrev=7 --exclude=*
  OUTPUT_VARIABLE commit
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE failed
  ERROR_QUIET)
if(failed OR commit STREQUAL "")
  set(commit unknown)
endif()
string(CONCAT text "// Written by the build: the commit it was made from.\n"
                   "#include \"version/build_version.h\"\n\n"
                   "const char* BuildCommit() { return \"${commit}\"; }\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUTPUT} "${text}")
endif()
