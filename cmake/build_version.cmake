# qnt_version: the project's version and the build's commit, linked by every program.
#
# The commit is looked up at every build, not only at configure time: a build after a new commit
# (or after uncommitted changes) compiles one small file and relinks the programs, and a build on
# the same commit does nothing. Outside a git checkout the commit is "unknown".
set(qnt_commit_source ${CMAKE_BINARY_DIR}/generated/build_commit.cpp)
add_custom_target(qnt_build_commit
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${qnt_commit_source}
          -P ${PROJECT_SOURCE_DIR}/cmake/write_build_commit.cmake
  BYPRODUCTS ${qnt_commit_source}
  COMMENT "Looking up the commit of the build"
  VERBATIM)
add_library(qnt_version STATIC ${PROJECT_SOURCE_DIR}/src/version/build_version.cpp
                               ${qnt_commit_source})
add_dependencies(qnt_version qnt_build_commit)
target_compile_definitions(qnt_version PRIVATE QNT_PROJECT_VERSION="${PROJECT_VERSION}")
qnt_include_root(qnt_version version)
