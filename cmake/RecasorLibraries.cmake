# The case engine and the programs' portable parts, as static libraries:
#   engine<SUFFIX>        the engine (engine/), shared by every program
#   trx_core<SUFFIX>      trx's command line, line reader and driver, on top of it
#                         and of the shared fileio library
#   recasor_core<SUFFIX>  with WITH_RECASOR: recasor's portable part (recasor/),
#                         which needs CLI11 and toml++ (debian_header_libraries)
# OPTIONS are compile and link options for all, passed on to whatever links
# them (a sanitizer or fuzzer build of the tests, say). Every consumer gets
# its libraries from here, so a source file is added in one place only.
# On x86-64 Linux the engine's word scan and its marking of LF lines are
# built a second time for AVX2, which they run where the processor has it;
# NO_AVX2 leaves that build out.
function(add_recasor_libraries suffix)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WITH_RECASOR;NO_AVX2" "" "OPTIONS")
  set(root ${PROJECT_SOURCE_DIR})

  add_library(engine${suffix} STATIC
    ${root}/engine/vocabulary.cpp
    ${root}/engine/vocabulary_file.cpp
    ${root}/engine/word_index.cpp
    ${root}/engine/list_entries.cpp
    ${root}/engine/line_marks.cpp
    ${root}/engine/line_feed_marks.cpp
    ${root}/engine/word_scan.cpp
    ${root}/engine/scan_dispatch.cpp
    ${root}/engine/keyword_case.cpp)
  target_include_directories(engine${suffix} PUBLIC ${root}/engine)
  target_compile_options(engine${suffix} PUBLIC ${arg_OPTIONS})
  target_link_options(engine${suffix} PUBLIC ${arg_OPTIONS})
  if(NOT arg_NO_AVX2 AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
    add_library(engine_avx2${suffix} OBJECT ${root}/engine/word_scan.cpp ${root}/engine/line_feed_marks.cpp)
    target_include_directories(engine_avx2${suffix} PRIVATE ${root}/engine)
    target_compile_options(engine_avx2${suffix} PRIVATE ${arg_OPTIONS} -mavx2 -mbmi -mbmi2 -mpopcnt)
    target_compile_definitions(engine_avx2${suffix} PRIVATE RECASOR_SCAN_BUILD_AVX2 RECASOR_AVX2_SCAN)
    target_sources(engine${suffix} PRIVATE $<TARGET_OBJECTS:engine_avx2${suffix}>)
    target_compile_definitions(engine${suffix} PUBLIC RECASOR_AVX2_SCAN)
  endif()

  add_library(trx_core${suffix} STATIC
    ${root}/trx/command_line.cpp
    ${root}/trx/vocabulary_options.cpp
    ${root}/trx/line_reader.cpp
    ${root}/trx/driver.cpp)
  target_include_directories(trx_core${suffix} PUBLIC ${root}/trx)
  target_link_libraries(trx_core${suffix} PUBLIC engine${suffix} fileio)

  if(arg_WITH_RECASOR)
    add_debian_header_libraries()
    add_library(recasor_core${suffix} STATIC
      ${root}/recasor/path_text.cpp
      ${root}/recasor/wildcard_match.cpp
      ${root}/recasor/line_splitter.cpp
      ${root}/recasor/source_model.cpp
      ${root}/recasor/code_marks.cpp
      ${root}/recasor/statement_tokens.cpp
      ${root}/recasor/line_bits.cpp
      ${root}/recasor/syntax_words.cpp
      ${root}/recasor/declarations.cpp
      ${root}/recasor/reserved_words.cpp
      ${root}/recasor/name_bindings.cpp
      ${root}/recasor/include_units.cpp
      ${root}/recasor/source_conversion.cpp
      ${root}/recasor/stream_conversion.cpp
      ${root}/recasor/project_vocabulary.cpp
      ${root}/recasor/settings.cpp
      ${root}/recasor/conversion_context.cpp
      ${root}/recasor/unified_diff.cpp
      ${root}/recasor/argument_parsing.cpp
      ${root}/recasor/lsp/message_reader.cpp
      ${root}/recasor/lsp/text_document.cpp
      ${root}/recasor/lsp/word_edits.cpp
      ${root}/recasor/lsp/file_uri.cpp
      ${root}/recasor/lsp/document_contexts.cpp
      ${root}/recasor/lsp/document_names.cpp
      ${root}/recasor/lsp/language_server.cpp)
    target_include_directories(recasor_core${suffix} PUBLIC ${root}/recasor ${root}/recasor/lsp)
    target_link_libraries(recasor_core${suffix} PUBLIC engine${suffix} debian_header_libraries)
  endif()
endfunction()

# recasor's header-only libraries from Debian (CLI11, toml++, nlohmann-json),
# as the target debian_header_libraries. toml++ is used header-only everywhere, so
# that recasor needs no shared library of it. A Windows cross build may not
# search /usr/include (it would find Linux's C headers), so it gets a folder
# of links to just these libraries' folders there.
function(add_debian_header_libraries)
  if(TARGET debian_header_libraries)
    return()
  endif()
  add_library(debian_header_libraries INTERFACE)
  target_compile_definitions(debian_header_libraries INTERFACE TOML_HEADER_ONLY=1)
  if(WIN32)
    set(links ${CMAKE_BINARY_DIR}/debian-headers)
    foreach(folder CLI toml++ nlohmann)
      if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} not found: run scripts/install-deps.sh")
      endif()
      file(MAKE_DIRECTORY ${links})
      file(CREATE_LINK /usr/include/${folder} ${links}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(debian_header_libraries SYSTEM INTERFACE ${links})
  else()
    find_package(CLI11 REQUIRED)
    find_package(nlohmann_json REQUIRED)
    find_path(TOMLPLUSPLUS_INCLUDE_DIR toml++/toml.h REQUIRED)
    target_include_directories(debian_header_libraries SYSTEM INTERFACE ${TOMLPLUSPLUS_INCLUDE_DIR})
    target_link_libraries(debian_header_libraries INTERFACE CLI11::CLI11 nlohmann_json::nlohmann_json)
  endif()
endfunction()
