# Compiles through ccache when it is installed (BRUME7_CCACHE, on by default),
# with one cache for every clone of the project: the cache lives in the user's
# cache folder, and paths inside the source tree are hashed relative to it.
find_program(BRUME7_CCACHE_PROGRAM ccache)
option(BRUME7_CCACHE "Compile through ccache when it is installed" ON)

if(BRUME7_CCACHE AND BRUME7_CCACHE_PROGRAM)
  if(DEFINED ENV{BRUME7_CCACHE_DIR})
    set(BRUME7_CCACHE_DIR "$ENV{BRUME7_CCACHE_DIR}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(BRUME7_CCACHE_DIR "$ENV{XDG_CACHE_HOME}/brume7/ccache")
  else()
    set(BRUME7_CCACHE_DIR "$ENV{HOME}/.cache/brume7/ccache")
  endif()
  # hash_dir off: a clone elsewhere reuses the objects (their debug info then names the first clone's folder).
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_DIR=${BRUME7_CCACHE_DIR} CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
               CCACHE_NOHASHDIR=1)
  if(BRUME7_COVERAGE_IGNORELIST)
    # The fuzz build's compile lines name the list, not its contents.
    list(APPEND launcher CCACHE_EXTRAFILES=${BRUME7_COVERAGE_IGNORELIST})
  endif()
  list(APPEND launcher ${BRUME7_CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
  message(STATUS "Compiling through ccache, cache in ${BRUME7_CCACHE_DIR}")
endif()
