set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under the Wine loader of their own arch, named by its path: Debian's `wine` wrapper
# picks the 32-bit loader whenever it is installed, also where the kernel cannot start it.
set(ICONVALE_WINE_LOADER ${ICONVALE_DEFAULT_WINE_LOADER} CACHE FILEPATH
    "Wine loader that runs this build's programs")
if(EXISTS ${ICONVALE_WINE_LOADER})
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ICONVALE_WINE_LOADER})
endif()
