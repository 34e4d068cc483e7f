# Build helpers shared by every folder: warnings, sanitizers, tests, fuzz
# targets and control modules are declared the same way everywhere.

function(kestrow_apply_sanitizers)
  if(KESTROW_SANITIZE)
    list(JOIN KESTROW_SANITIZE "," _san)
    add_compile_options(-fsanitize=${_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=${_san})
  endif()
  if(KESTROW_LIBFUZZER)
    # ccache does not hash the ignore list's content, so its copy is named
    # after its hash: a changed list changes every command line.
    set(_list ${CMAKE_SOURCE_DIR}/fuzz/coverage_ignorelist.txt)
    file(SHA256 ${_list} _hash)
    string(SUBSTRING ${_hash} 0 12 _hash)
    set(_copy ${CMAKE_BINARY_DIR}/coverage_ignorelist_${_hash}.txt)
    configure_file(${_list} ${_copy} COPYONLY)
    add_compile_options(-fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=${_copy})
  endif()
endfunction()

# Our own code builds without warnings; third-party headers are included as
# system headers by their imported targets, so they do not trip this. Where
# CI and developers build (KESTROW_WARNINGS_AS_ERRORS), a warning fails the
# build.
function(kestrow_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)
  if(KESTROW_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kestrow_headers(<target> <folder>... [PRIVATE])
# The repository root is nobody's include path. A target sees the headers of
# the folders it names here and of what it links, each through a folder of
# the build tree that holds only a link to that one source folder, so a
# header is still spelt from the root ("platform/gdi/bitmap.h") and a header
# of a folder the target does not use is not found. PUBLIC (INTERFACE for an
# interface library) unless PRIVATE is given.
function(kestrow_headers target)
  cmake_parse_arguments(H "PRIVATE" "" "" ${ARGN})
  get_target_property(_type ${target} TYPE)
  if(H_PRIVATE)
    set(_scope PRIVATE)
  elseif(_type STREQUAL "INTERFACE_LIBRARY")
    set(_scope INTERFACE)
  else()
    set(_scope PUBLIC)
  endif()
  foreach(_folder IN LISTS H_UNPARSED_ARGUMENTS)
    string(REPLACE "/" "_" _name ${_folder})
    set(_root ${CMAKE_BINARY_DIR}/include/${_name})
    if(NOT IS_SYMLINK ${_root}/${_folder})
      get_filename_component(_parent ${_root}/${_folder} DIRECTORY)
      file(MAKE_DIRECTORY ${_parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${_folder} ${_root}/${_folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${_scope} ${_root})
  endforeach()
endfunction()

# kestrow_add_tests(NAME <exe> SOURCES <files...> [LIBS <targets...>] [QT]
#                   [LABEL <label>])
# One GoogleTest program per folder. QT gives it the offscreen QApplication
# main from platform/testing; otherwise the plain main is used. Both mains
# point XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_DATA_DIRS, XDG_RUNTIME_DIR and
# XDG_STATE_HOME at a fresh temporary folder so no test ever touches the
# user's registry files or patch history or sees the machine's. The tests
# carry no time limit of their own: the test preset's applies, which is
# longer for the slower sanitizer build. LABEL is a ctest label for every
# test of the program (ctest -L / -LE select by it). A
# library in LIBS with the property KESTROW_TESTS_RUN (a list of targets)
# has those built before the test program.
function(kestrow_add_tests)
  if(NOT KESTROW_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "QT" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  kestrow_warnings(${T_NAME})
  # Beside what it links, a test program sees the headers of its own folder.
  file(RELATIVE_PATH _folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  kestrow_headers(${T_NAME} ${_folder} PRIVATE)
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE kp_test_main_qt)
  else()
    target_link_libraries(${T_NAME} PRIVATE kp_test_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  # The other program that holds a file open (kp::testing::HeldElsewhere).
  add_dependencies(${T_NAME} kp_hold_file)
  # A shared fixture names the programs and modules its tests run; they are
  # built before the test program. (On the fixture itself, such a dependency
  # would order only its compiling, which needs no module linked.)
  foreach(_lib IN LISTS T_LIBS)
    if(TARGET ${_lib})
      get_target_property(_runs ${_lib} KESTROW_TESTS_RUN)
      if(_runs)
        add_dependencies(${T_NAME} ${_runs})
      endif()
    endif()
  endforeach()
  set(_properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(T_LABEL)
    list(APPEND _properties LABELS ${T_LABEL})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${_properties})
endfunction()

# kestrow_add_fuzzer(NAME <target> SOURCES <files...> [LIBS <targets...>])
# The corpus lives in fuzz/corpus/<target>/ (seeds and every crash ever
# found). With KESTROW_LIBFUZZER the target is a libFuzzer program; in every
# other build it is a replay program that ctest runs over the corpus.
function(kestrow_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  kestrow_warnings(${F_NAME})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set(_corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${F_NAME})
  if(KESTROW_LIBFUZZER)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${F_NAME} PRIVATE kp_fuzz_replay_main)
    if(KESTROW_BUILD_TESTS)
      add_test(NAME fuzz_replay.${F_NAME} COMMAND ${F_NAME} ${_corpus})
      set_tests_properties(fuzz_replay.${F_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()

# kestrow_add_control_module(NAME <target> OUTPUT <file name> SOURCES ... LIBS ...)
# A COM in-process module: a shared object loaded with dlopen, exporting only
# the four standard entry points, with every other symbol hidden so that two
# modules in one process can never bind to each other's code.
function(kestrow_add_control_module)
  cmake_parse_arguments(M "" "NAME;OUTPUT" "SOURCES;LIBS" ${ARGN})
  add_library(${M_NAME} MODULE ${M_SOURCES})
  kestrow_warnings(${M_NAME})
  target_link_libraries(${M_NAME} PRIVATE ${M_LIBS})
  set_target_properties(${M_NAME} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME ${M_OUTPUT}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${M_NAME} PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/com_module.map)
  # clang links its sanitizer runtimes statically into programs only, so a
  # fuzzing build cannot insist that a module resolves every symbol itself.
  if(NOT KESTROW_LIBFUZZER)
    target_link_options(${M_NAME} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
