# Cross compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix).
# The -posix compilers: the default -win32 ones have no std::mutex in GCC 12, and Qt and ICU
# need it. KORVIN_WINDOWS_PREFIXES (a ;-list, from the environment or -D) names the
# cross-built Qt and ICU so that find_package looks there and nowhere on the Linux side.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
if(NOT KORVIN_WINDOWS_PREFIXES AND DEFINED ENV{KORVIN_WINDOWS_PREFIXES})
  set(KORVIN_WINDOWS_PREFIXES "$ENV{KORVIN_WINDOWS_PREFIXES}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${KORVIN_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
