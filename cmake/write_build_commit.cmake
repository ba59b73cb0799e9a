# Run at every build (cmake -P): writes OUTPUT, a source file defining BuildCommit(), with the
# commit of the checkout in SOURCE_DIR. The file is rewritten only when its text changes, so a
# build on the same commit compiles and links nothing again.
# Sources unpacked inside some other checkout are no checkout of their own: its commit is not
# theirs.
execute_process(
  COMMAND git -C ${SOURCE_DIR} rev-parse --show-toplevel
  OUTPUT_VARIABLE top
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET)
set(commit unknown)
file(REAL_PATH "${SOURCE_DIR}" source)
if(top AND EXISTS "${top}")
  file(REAL_PATH "${top}" top)
endif()
if(top STREQUAL source)
  execute_process(
    COMMAND git -C ${SOURCE_DIR} describe --always --dirty --abbrev=7 --exclude=*
    OUTPUT_VARIABLE described
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed
    ERROR_QUIET)
  if(NOT failed AND described)
    set(commit ${described})
  endif()
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
