# Initial cache of the ThreadSanitizer build (scripts/tsan: cmake -C cmake/ThreadSanitizer.cmake): clang 19, every
# library and test compiled with -fsanitize=thread at -O1 (at -O0 the instrumented tests with threads took several
# times as long, and a race shows at -O1 all the same), no benchmarks, no fuzz targets.
set(CMAKE_C_COMPILER clang-19 CACHE STRING "")
set(CMAKE_CXX_COMPILER clang++-19 CACHE STRING "")
set(CMAKE_BUILD_TYPE Debug CACHE STRING "")
set(CMAKE_C_FLAGS_DEBUG "-g1 -O1" CACHE STRING "")
set(CMAKE_CXX_FLAGS_DEBUG "-g1 -O1" CACHE STRING "")
set(CMAKE_C_FLAGS "-fsanitize=thread -fno-omit-frame-pointer" CACHE STRING "")
set(CMAKE_CXX_FLAGS "-fsanitize=thread -fno-omit-frame-pointer" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS "-fsanitize=thread" CACHE STRING "")
set(CMAKE_SHARED_LINKER_FLAGS "-fsanitize=thread" CACHE STRING "")
set(BARCODES_SANITIZE OFF CACHE BOOL "")
set(BARCODES_FUZZ OFF CACHE BOOL "")
set(BARCODES_BENCH OFF CACHE BOOL "")
