# One shared library per module (shared, so every class registers itself when the library loads, even when no
# symbol of its file is referenced): every .cpp below DIR (recursively) is a source. Globbing with
# CONFIGURE_DEPENDS lets a new file join its module without editing a shared list.
function(barcodes_module name dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${name} PUBLIC BARCODES_RESOURCE_DIR="${BARCODES_RESOURCE_DIR}")
endfunction()

# One test binary per tested module: every .cpp in DIR (not recursive) plus the given libraries.
function(barcodes_test name dir)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# A test binary that needs an X display: the whole binary runs as one CTest test on a private Xvfb server and D-Bus
# session (scripts/with-display), so display tests never share a screen or bus with tests running beside them.
# SCALES n... runs it once per GDK scale factor (tests named <name>_scale<n>); the default is scale 1 alone.
function(barcodes_display_test name dir)
    cmake_parse_arguments(ARG "" "" "SCALES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    if(NOT ARG_SCALES)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-display $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS display)
        return()
    endif()
    foreach(scale ${ARG_SCALES})
        add_test(NAME ${name}_scale${scale}
            COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-display --scale ${scale} $<TARGET_FILE:${name}>)
        set_tests_properties(${name}_scale${scale} PROPERTIES TIMEOUT 600 LABELS display)
    endforeach()
endfunction()

# A benchmark binary from one or more sources.
function(barcodes_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# A libFuzzer target from one source.
function(barcodes_fuzz name source)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()
