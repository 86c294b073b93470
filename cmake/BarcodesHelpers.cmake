# One shared library per module (shared, so every class registers itself when the library loads, even when no
# symbol of its file is referenced; the anchor below keeps it loaded when nothing of it is): every .cpp below DIR
# (recursively) is a source. Globbing with CONFIGURE_DEPENDS lets a new file join its module without editing a shared
# list. EXCLUDE names subfolders of DIR that are modules of their own.
function(barcodes_module name dir)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    foreach(subfolder ${ARG_EXCLUDE})
        list(FILTER sources EXCLUDE REGEX "^${dir}/${subfolder}/")
    endforeach()
    # A program may name the library's classes only in interface files, so that nothing of it is referenced, and a
    # linker that leaves out unreferenced shared libraries (--as-needed, the default of many distributions) would
    # drop it with its registrations. The library defines an anchor symbol, and every target that links it compiles
    # a reference to that symbol (an interface source), so the library is always loaded. An installed copy carries
    # the reference's source with its CMake package (cmake/BarcodesInstall.cmake).
    string(MAKE_C_IDENTIFIER "barcodes_module_${name}_linked" anchor)
    set(anchor_definition ${CMAKE_CURRENT_BINARY_DIR}/${name}_anchor.cpp)
    set(anchor_reference ${CMAKE_CURRENT_BINARY_DIR}/${name}_anchor_reference.cpp)
    file(CONFIGURE OUTPUT ${anchor_definition}
        CONTENT "extern \"C\" [[gnu::visibility(\"default\")]] const char ${anchor} = 0;\n")
    file(CONFIGURE OUTPUT ${anchor_reference} CONTENT "extern \"C\" const char ${anchor};\n\
namespace { [[gnu::used]] const void* const ${anchor}_reference = &${anchor}; }\n")
    add_library(${name} SHARED ${sources} ${anchor_definition})
    target_sources(${name} INTERFACE $<BUILD_INTERFACE:${anchor_reference}>
        $<INSTALL_INTERFACE:${BARCODES_INSTALL_CMAKEDIR}/anchors/${name}_anchor_reference.cpp>)
    set_property(GLOBAL APPEND PROPERTY BARCODES_MODULES ${name})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
        $<INSTALL_INTERFACE:${BARCODES_INSTALL_INCLUDEDIR}>)
    # The headers are C++23 (std::expected): a program that links the library compiles at least as that.
    target_compile_features(${name} PUBLIC cxx_std_23)
    _barcodes_install_module(${name} ${dir} ${anchor_reference} "${ARG_EXCLUDE}")
    # The fuzzer learns the keys and magic values an input is compared with where inputs are read: strings,
    # dictionaries, property lists and archives, all in the foundation. Elsewhere tracing every comparison costs a
    # fifth of each instrumented run (tests included) and tells it little; coverage itself stays everywhere.
    if(BARCODES_FUZZ_COVERAGE AND NOT name STREQUAL "fnd")
        target_compile_options(${name} PRIVATE -fno-sanitize-coverage=trace-cmp)
    endif()
endfunction()

# The sanitizer build with fuzz targets compiles everything with the fuzzer's coverage hooks (CMakeLists.txt).
if(BARCODES_SANITIZE AND BARCODES_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(BARCODES_FUZZ_COVERAGE ON)
else()
    set(BARCODES_FUZZ_COVERAGE OFF)
endif()

# What the whole sanitizer build shares; called once by the top CMakeLists.txt before any target is made.
function(barcodes_sanitizer_support)
    if(NOT BARCODES_SANITIZE)
        return()
    endif()
    # The fuzzer's coverage hooks leave the standard library's template instances out (cmake/coverage-ignorelist.txt),
    # so the platform libraries and fuzz targets, compiled at -O0 like the rest, do not spend an input's time counting
    # the branches of every string, shared pointer and map operation. Test code has no coverage hooks to trim (and
    # clang would warn that the option goes unused there). The copy's name carries the list's checksum: a compiler
    # cache that hashes the option but not the file's content still misses when the list changes.
    if(BARCODES_FUZZ_COVERAGE)
        set(list ${PROJECT_SOURCE_DIR}/cmake/coverage-ignorelist.txt)
        file(MD5 ${list} checksum)
        set(copy ${CMAKE_BINARY_DIR}/coverage-ignorelist-${checksum}.txt)
        configure_file(${list} ${copy} COPYONLY)
        add_compile_options(
            "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:BARCODES_TEST_CODE>>>:-fsanitize-coverage-ignorelist=${copy}>")
    endif()
    # LeakSanitizer's suppressions (scripts/lsan.supp) are compiled into every test binary and fuzz target through
    # its default-suppressions hook, so a binary run by hand reports exactly what it reports under ./test.
    set(suppressions_file ${PROJECT_SOURCE_DIR}/scripts/lsan.supp)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${suppressions_file})
    file(STRINGS ${suppressions_file} lines)
    set(suppressions "")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line AND NOT line MATCHES "^#")
            string(APPEND suppressions "${line}\\n")
        endif()
    endforeach()
    set(source ${CMAKE_BINARY_DIR}/leak_suppressions.cpp)
    file(CONFIGURE OUTPUT ${source} @ONLY ESCAPE_QUOTES CONTENT "\
// Generated from scripts/lsan.supp by barcodes_sanitizer_support (cmake/BarcodesHelpers.cmake).
extern \"C\" const char* __lsan_default_suppressions()
{
    return \"@suppressions@\";
}
")
    add_library(barcodes_leak_suppressions OBJECT ${source})
endfunction()

# Links the sanitizer build's leak suppressions (barcodes_sanitizer_support) into the program TARGET.
function(_barcodes_link_leak_suppressions target)
    if(TARGET barcodes_leak_suppressions)
        target_link_libraries(${target} PRIVATE barcodes_leak_suppressions)
    endif()
endfunction()

# In the sanitizer build, the given sources of TARGET (relative to the calling folder) are compiled optimised and
# without the fuzzer's coverage hooks: they hold pixel loops, which at -O0 take much of the instrumented tests' and
# fuzz targets' time, and whose branches tell a fuzzer nothing. AddressSanitizer still checks every access. Their
# inline functions stay their own: the standard library's templates would otherwise bind to the unoptimised copies
# another library exports.
function(barcodes_optimise_when_sanitized target)
    if(NOT BARCODES_SANITIZE)
        return()
    endif()
    set(options -O2 -fvisibility-inlines-hidden)
    if(BARCODES_FUZZ_COVERAGE)
        # Without coverage hooks, the build's coverage ignorelist has nothing to apply to.
        list(APPEND options -fno-sanitize=fuzzer-no-link -Wno-unused-command-line-argument)
    endif()
    foreach(source ${ARGN})
        # A moved file would otherwise leave its setting behind unnoticed, and its loops unoptimised.
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${source})
            message(FATAL_ERROR "barcodes_optimise_when_sanitized: no source ${source} in ${CMAKE_CURRENT_SOURCE_DIR}")
        endif()
        set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${source} TARGET_DIRECTORY ${target}
            PROPERTIES COMPILE_OPTIONS "${options}" SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
endfunction()

# In the sanitizer build, the whole of TARGET is compiled at -O1, coverage hooks included (it may hold readers, whose
# branches guide the fuzzer). At -O0 every call into the standard library's templates (strings, shared pointers,
# variants, maps) stays a call with its own sanitizer checks and stack frame: with the foundation alone at -O0 the
# fuzz targets that drive views or read text took 10 to 30 % longer per input, with every platform library at -O0 up
# to twice as long, even with those instances' coverage hooks gone. -O1 inlines them; it doubles to triples the
# target's compile time, so it is kept to the libraries whose -O1 pays for itself in ./test: foundation, graphics,
# text, the barcode engine (QR and Data Matrix mask scoring: a symbology fuzz target ran 3.7 times as fast) and the
# foundation extensions (the CSV reader: 1.9 times). The views library is at -O1 only where scripts/fuzz explores
# (barcodes_optimise_target_when_exploring): in ./test's build -O1 took 180 CPU-seconds more to compile, and the tests
# and seeded fuzz runs on two cores gained about 5 seconds.
function(barcodes_optimise_target_when_sanitized target)
    if(BARCODES_SANITIZE)
        target_compile_options(${target} PRIVATE -O1)
    endif()
endfunction()

# The sanitizer build scripts/fuzz explores in (scripts/sanitizer-env) compiles TARGET at -O1 too: ./test's seeded
# runs gain little from it, long explorations much (views library at -O0: the accessibility target ran 2.5 times
# slower).
option(BARCODES_FUZZ_EXPLORE "Sanitizer build for long fuzz runs: more of it at -O1" OFF)
function(barcodes_optimise_target_when_exploring target)
    if(BARCODES_SANITIZE AND BARCODES_FUZZ_EXPLORE)
        target_compile_options(${target} PRIVATE -O1)
    endif()
endfunction()

# Test code is compiled without optimisation even in the optimised build: that halves the tests' compile time, while
# what they exercise, the libraries, stays optimised (benchmarks measure those).
function(_barcodes_test_compile_options target)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O0>)
    # No fuzzer runs test code: it goes without the fuzzer's coverage hooks.
    if(BARCODES_FUZZ_COVERAGE)
        target_compile_options(${target} PRIVATE -fno-sanitize=fuzzer-no-link)
        set_target_properties(${target} PROPERTIES BARCODES_TEST_CODE ON)
    endif()
endfunction()

# Precompiled headers: the headers nearly every test, fuzz target or benchmark includes (the standard library, its
# test or benchmark library, the foundation) are compiled once per build by an object library, and every target of
# that kind reuses them instead of parsing them again. Parsing them took a third of an unoptimised test batch's
# compile time with clang and a seventh with g++, in each of about a hundred test batches per build, and most of a
# fuzz target's or a benchmark's. A header added to such a list is seen by every target of its kind: a module's own
# headers stay with the sources that include them.
option(BARCODES_PCH "Tests, fuzz targets and benchmarks reuse precompiled headers" ON)

# Makes the object library NAME that precompiles HEADER with the usage requirements of LIBS. The targets that reuse it
# (_barcodes_reuse_precompiled_headers) must be compiled with the same options: clang refuses a precompiled header
# made with other language or sanitizer options, and g++ reports it (CMake compiles with -Winvalid-pch) and parses
# the headers again.
function(barcodes_precompiled_headers name header)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    if(NOT BARCODES_PCH)
        return()
    endif()
    add_library(${name} OBJECT)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_precompile_headers(${name} PRIVATE ${header})
    # The compile flags of GTK, ATK and Pango bring -pthread, which defines _REENTRANT, to the targets that link them;
    # the header and every target that reuses it have it, so that they all agree.
    target_compile_options(${name} PRIVATE -pthread)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # A compiler cache stores a clang precompiled header, and the compiles that use it, only when the header
        # carries no time stamps of the files it was made from.
        target_compile_options(${name} PRIVATE -Xclang -fno-pch-timestamp)
    endif()
endfunction()

function(_barcodes_reuse_precompiled_headers target headers)
    if(TARGET ${headers})
        target_precompile_headers(${target} REUSE_FROM ${headers})
        target_compile_options(${target} PRIVATE -pthread)
    endif()
endfunction()

# Test code's precompiled headers (tests/support/PrecompiledTestHeaders.h), compiled as test code. Called once, before
# the first test target is made.
function(barcodes_test_precompiled_headers)
    barcodes_precompiled_headers(barcodes_test_headers ${PROJECT_SOURCE_DIR}/tests/support/PrecompiledTestHeaders.h
        LIBS fnd GTest::gtest GTest::gmock)
    if(TARGET barcodes_test_headers)
        _barcodes_test_compile_options(barcodes_test_headers)
    endif()
endfunction()

function(_barcodes_test_code_options target)
    _barcodes_test_compile_options(${target})
    _barcodes_reuse_precompiled_headers(${target} barcodes_test_headers)
    _barcodes_link_leak_suppressions(${target})
endfunction()

# Support code that several test binaries link (the rest of the arguments are its sources): compiled once, as test
# code, into the object library NAME, instead of once in every binary that uses it.
function(barcodes_test_support name)
    add_library(${name} OBJECT ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    _barcodes_test_compile_options(${name})
endfunction()

# Registers the GoogleTest binary run by COMMAND (the rest of the arguments) as the CTest test NAME, or, when SHARDS
# is 2 or more, as tests NAME_shard0... that each run every SHARDS-th case (GoogleTest's own sharding), so a slow
# binary's cases spread over the cores. Shards start before the other tests (COST): a slow binary started last
# would run on alone at the end.
function(_barcodes_add_gtest name shards timeout labels)
    if(NOT shards OR shards LESS 2)
        add_test(NAME ${name} COMMAND ${ARGN})
        set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} LABELS "${labels}")
        return()
    endif()
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
        add_test(NAME ${name}_shard${index} COMMAND ${ARGN})
        set_tests_properties(${name}_shard${index} PROPERTIES TIMEOUT ${timeout} LABELS "${labels}" COST 1000
            ENVIRONMENT "GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
    endforeach()
endfunction()

# One test binary per tested module: every .cpp in DIR (not recursive) plus the given libraries. The binary runs as
# one CTest test (SHARDS n: as n tests, see _barcodes_add_gtest): a process per test case would spend more time
# starting (a twentieth of a second, a fifth under the sanitizers) than most cases take. On failure CTest prints its
# output, which names the failing cases; run one case alone with --gtest_filter.
function(barcodes_test name dir)
    cmake_parse_arguments(ARG "" "SHARDS" "" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    _barcodes_test_code_options(${name})
    _barcodes_add_gtest(${name} "${ARG_SHARDS}" 1200 "" ${name})
    set_property(GLOBAL APPEND PROPERTY BARCODES_UNIT_TESTS ${name})
endfunction()

# A test binary that needs an X display: the whole binary runs as one CTest test on a private Xvfb server and D-Bus
# session (scripts/with-display), so display tests never share a screen or bus with tests running beside them.
# SCALES n... runs it once per GDK scale factor (tests named <name>_scale<n>); the default is scale 1 alone. SHARDS n
# splits each run into n tests, each on its own server (see _barcodes_add_gtest).
function(barcodes_display_test name dir)
    cmake_parse_arguments(ARG "" "SHARDS" "SCALES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    _barcodes_test_code_options(${name})
    if(NOT ARG_SCALES)
        _barcodes_add_gtest(${name} "${ARG_SHARDS}" 600 display
            ${PROJECT_SOURCE_DIR}/scripts/with-display $<TARGET_FILE:${name}>)
        return()
    endif()
    foreach(scale ${ARG_SCALES})
        _barcodes_add_gtest(${name}_scale${scale} "${ARG_SHARDS}" 600 display
            ${PROJECT_SOURCE_DIR}/scripts/with-display --scale ${scale} $<TARGET_FILE:${name}>)
    endforeach()
endfunction()

# A benchmark binary from one or more sources.
function(barcodes_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
    _barcodes_reuse_precompiled_headers(${name} bench_headers)
endfunction()

# A libFuzzer target from one source.
function(barcodes_fuzz name source)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    # A target's own code is at -O1 only where scripts/fuzz explores: in ./test's build, -O1 took 40 CPU-seconds
    # more to compile for about a second of its seeded runs.
    barcodes_optimise_target_when_exploring(${name})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARGN})
    _barcodes_reuse_precompiled_headers(${name} fuzz_headers)
    _barcodes_link_leak_suppressions(${name})
    set_property(GLOBAL APPEND PROPERTY BARCODES_FUZZ_TARGETS ${name})
endfunction()

# Unity builds: each target's sources are compiled BARCODES_UNITY_BATCH_SIZE at a time in one translation unit, so the
# standard library, GoogleTest and our platform headers are parsed once per batch instead of once per file. Files in
# one batch share one scope: file-local names must be unique across the target (see docs/ARCHITECTURE.md, Build).
option(BARCODES_UNITY "Compile each target in unity batches" ON)
set(BARCODES_UNITY_BATCH_SIZE 32 CACHE STRING "Source files per unity batch")

# The X11 and GTK headers define macros with everyday names (None, Bool, Status, Above, ...) that break whatever
# follows them in a batch; a source that includes them, directly or through one of our own headers, is compiled alone.
set(BARCODES_UNITY_UNSAFE_HEADER_REGEX "^[ \t]*#[ \t]*include[ \t]*<(X11|gtk|gdk)/")

# Sets RESULT to TRUE when FILE includes a header matched by BARCODES_UNITY_UNSAFE_HEADER_REGEX, directly or through
# our own headers ("..." includes found next to the including file or in SEARCH_DIRS). Answers are remembered per file
# for the rest of the configure run.
function(_barcodes_includes_unsafe_header file search_dirs result)
    get_property(known GLOBAL PROPERTY _BARCODES_UNITY_UNSAFE_${file} SET)
    if(known)
        get_property(answer GLOBAL PROPERTY _BARCODES_UNITY_UNSAFE_${file})
        set(${result} ${answer} PARENT_SCOPE)
        return()
    endif()
    # Assume safe while this file is being looked at, so include cycles end.
    set_property(GLOBAL PROPERTY _BARCODES_UNITY_UNSAFE_${file} FALSE)
    set(answer FALSE)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "${BARCODES_UNITY_UNSAFE_HEADER_REGEX}")
            set(answer TRUE)
            break()
        endif()
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
            continue()
        endif()
        set(name ${CMAKE_MATCH_1})
        get_filename_component(here ${file} DIRECTORY)
        foreach(dir ${here} ${search_dirs})
            if(EXISTS ${dir}/${name} AND NOT IS_DIRECTORY ${dir}/${name})
                get_filename_component(header ${dir}/${name} ABSOLUTE)
                _barcodes_includes_unsafe_header(${header} "${search_dirs}" nested)
                if(nested)
                    set(answer TRUE)
                endif()
                break()
            endif()
        endforeach()
        if(answer)
            break()
        endif()
    endforeach()
    set_property(GLOBAL PROPERTY _BARCODES_UNITY_UNSAFE_${file} ${answer})
    set(${result} ${answer} PARENT_SCOPE)
endfunction()

# Turns unity builds on for TARGET and keeps the sources that include X11 or GTK headers out of its batches.
function(_barcodes_unity_target target)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|STATIC_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${BARCODES_UNITY_BATCH_SIZE})
    # g++ exempts types of the main source file from this warning; in a batch no .cpp is the main file, so every
    # file-local test fixture (anonymous namespace, TEST_F outside it) would be reported.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    get_target_property(include_dirs ${target} INCLUDE_DIRECTORIES)
    set(search_dirs ${PROJECT_SOURCE_DIR})
    foreach(dir IN LISTS include_dirs)
        if(IS_ABSOLUTE "${dir}" AND NOT dir MATCHES "\\$<")
            list(APPEND search_dirs ${dir})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES search_dirs)
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "\\.(cpp|cc|cxx|c)$" OR source MATCHES "\\$<")
            continue()
        endif()
        get_filename_component(path ${source} ABSOLUTE BASE_DIR ${source_dir})
        _barcodes_includes_unsafe_header(${path} "${search_dirs}" unsafe)
        if(unsafe)
            set_source_files_properties(${path} TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
        endif()
    endforeach()
endfunction()

# Applies unity builds to every target defined in DIR and the folders below it. Called once, at the end of the top
# CMakeLists.txt, so every target is covered, however it was made and whatever sources were added to it later.
function(barcodes_enable_unity_builds dir)
    if(NOT BARCODES_UNITY)
        return()
    endif()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        _barcodes_unity_target(${target})
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        barcodes_enable_unity_builds(${subdir})
    endforeach()
endfunction()

# Appends to the list named by RESULT every target defined in DIR and the folders below it.
function(_barcodes_targets_below dir result)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    set(found ${${result}} ${targets})
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _barcodes_targets_below(${subdir} found)
    endforeach()
    set(${result} ${found} PARENT_SCOPE)
endfunction()

# ./test builds only what each of its passes runs (docs/build-and-tests.md, Build). `sanitizer_pass`: the test
# binaries that need no display, and the fuzz targets. `optimised_pass`: everything else of the default build (every
# library, the application, the display tests, the benchmarks), whose tests are the display tests. Every test so runs
# in one pass; the display tests are left out of the sanitizer pass because they drive a live X server with timed
# waits that the sanitizers' slowdown turns into a measure of the machine. A plain build still builds everything.
function(barcodes_add_pass_targets)
    get_property(unit_tests GLOBAL PROPERTY BARCODES_UNIT_TESTS)
    get_property(fuzz_targets GLOBAL PROPERTY BARCODES_FUZZ_TARGETS)
    add_custom_target(sanitizer_pass)
    if(unit_tests OR fuzz_targets)
        add_dependencies(sanitizer_pass ${unit_tests} ${fuzz_targets})
    endif()
    set(targets)
    _barcodes_targets_below(${PROJECT_SOURCE_DIR} targets)
    set(optimised)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(excluded ${target} EXCLUDE_FROM_ALL)
        if(NOT type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|STATIC_LIBRARY|MODULE_LIBRARY)$" OR excluded
            OR target IN_LIST unit_tests OR target IN_LIST fuzz_targets)
            continue()
        endif()
        list(APPEND optimised ${target})
    endforeach()
    add_custom_target(optimised_pass)
    if(optimised)
        add_dependencies(optimised_pass ${optimised})
    endif()
endfunction()
