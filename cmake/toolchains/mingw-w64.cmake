# Cross-compiling the Windows programs with Debian's mingw-w64 compilers.
# Included by the per-architecture toolchain files, which set MINGW_TRIPLET.
# The compilers of the posix thread model: only they give g++ 12 std::thread,
# std::mutex and std::condition_variable, which recasor's parallel
# conversion uses (on winpthreads, linked statically like the rest of the
# runtime; KAVRIX.DLL is built with them too).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
