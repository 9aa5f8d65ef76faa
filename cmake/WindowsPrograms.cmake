# The Windows programs, cross-built from this same source tree as two
# sub-builds of the native build:
#   windows/i686/bin/      TRX.exe and casepad.exe, the shipped programs,
#                          32-bit x86, with KAVRIX.DLL beside casepad.exe
#   windows/x86_64/bin/    the same for 64-bit Wine, with the helpers that
#                          the Wine tests need
# `cmake --build build --target windows_programs` builds both.

include(ExternalProject)

foreach(triplet i686-w64-mingw32 x86_64-w64-mingw32)
  find_program(MINGW_COMPILER_${triplet} ${triplet}-g++-posix)
  if(NOT MINGW_COMPILER_${triplet})
    message(FATAL_ERROR "${triplet}-g++-posix not found: run scripts/install-deps.sh "
                        "(or configure with -DRECASOR_WINDOWS=OFF to leave the Windows programs out)")
  endif()
endforeach()

function(add_windows_build architecture withTestHelpers)
  set(binaryDir ${CMAKE_BINARY_DIR}/windows/${architecture})
  ExternalProject_Add(windows_${architecture}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${binaryDir}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchains/${architecture}-w64-mingw32.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${binaryDir}/bin
      -DRECASOR_TESTS=${withTestHelpers}
      -DRECASOR_BENCH=OFF
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  set(WINDOWS_BIN_${architecture} ${binaryDir}/bin PARENT_SCOPE)
endfunction()

add_windows_build(i686 OFF)
add_windows_build(x86_64 ON)

# KAVRIX.DLL, casepad's editing component, is built from Debian's Scintilla
# sources by a script that keeps the download and the DLLs in a cache of its
# own outside this tree; each run only copies them when nothing changed.
add_custom_target(kavrix_dll
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-kavrix.sh ${CMAKE_BINARY_DIR}/windows
  USES_TERMINAL)
add_dependencies(kavrix_dll windows_i686 windows_x86_64)

add_custom_target(windows_programs ALL DEPENDS windows_i686 windows_x86_64 kavrix_dll)
