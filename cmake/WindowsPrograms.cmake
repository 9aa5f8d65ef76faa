# The Windows programs, cross-built from this same source tree as two
# sub-builds of the native build:
#   windows/i686/bin/TRX.exe     the shipped program, 32-bit x86
#   windows/x86_64/bin/TRX.exe   the same for 64-bit Wine, with the helpers
#                                that the Wine tests need
# `cmake --build build --target windows_programs` builds both.

include(ExternalProject)

foreach(triplet i686-w64-mingw32 x86_64-w64-mingw32)
  find_program(MINGW_COMPILER_${triplet} ${triplet}-g++)
  if(NOT MINGW_COMPILER_${triplet})
    message(FATAL_ERROR "${triplet}-g++ not found: run scripts/install-deps.sh "
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
add_custom_target(windows_programs ALL DEPENDS windows_i686 windows_x86_64)
