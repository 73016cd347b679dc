# The host tree: the Windows-free code built natively with AddressSanitizer and
# UndefinedBehaviorSanitizer, its unit tests, and a libFuzzer target per parser of outside input.
enable_testing()
set(KYR_SAN -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

# libsquish from the source scripts/setup.sh fetched for the Windows build, compiled here
# with AddressSanitizer so a block written past the caller's buffer is caught.
file(GLOB kyr_squish_dir LIST_DIRECTORIES true ${KYR_DEPS_DIR}/libsquish/src/libsquish-*)
if(NOT kyr_squish_dir)
  message(FATAL_ERROR "libsquish source missing under ${KYR_DEPS_DIR}/libsquish/src: run scripts/setup.sh")
endif()
list(GET kyr_squish_dir 0 kyr_squish_dir)
add_library(kyr_squish STATIC
  ${kyr_squish_dir}/alpha.cpp ${kyr_squish_dir}/clusterfit.cpp ${kyr_squish_dir}/colourblock.cpp
  ${kyr_squish_dir}/colourfit.cpp ${kyr_squish_dir}/colourset.cpp ${kyr_squish_dir}/maths.cpp
  ${kyr_squish_dir}/rangefit.cpp ${kyr_squish_dir}/singlecolourfit.cpp ${kyr_squish_dir}/squish.cpp)
target_compile_definitions(kyr_squish PRIVATE SQUISH_USE_SSE=0 SQUISH_USE_OPENMP=0)
target_compile_options(kyr_squish PRIVATE -O2 -w -fsanitize=address)
target_include_directories(kyr_squish PUBLIC ${kyr_squish_dir})

add_library(kyr_tree_flags INTERFACE)
target_compile_options(kyr_tree_flags INTERFACE -Wall -Wextra ${KYR_SAN})
target_link_options(kyr_tree_flags INTERFACE ${KYR_SAN})
target_compile_definitions(kyr_tree_flags INTERFACE KYR_HOST_BUILD=1)
set(KYR_TREE_LISTS PURE HOST)
include(cmake/Areas.cmake)
# Coverage counters in the libraries themselves, so every fuzz target gets feedback from the
# code it drives; the unit tests link the same libraries (the sanitizer runtime takes the
# counters).
get_property(kyr_static_areas GLOBAL PROPERTY KYR_STATIC_AREAS)
foreach(lib IN LISTS kyr_static_areas)
  target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB kyr_host_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
if(kyr_host_tests)
  add_executable(host_tests ${kyr_host_tests})
  target_link_libraries(host_tests PRIVATE kyr_engine gtest_main gmock)
  # tests/support holds helpers both test trees share (support/WavBuilder.h).
  target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # Tests that read the committed fixtures find them from here.
  target_compile_definitions(host_tests PRIVATE KYR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME host.unit COMMAND host_tests)
endif()

# setup's apt steps against a stand-in apt-get (a mirror caught mid-sync).
add_test(NAME host.setup_apt COMMAND bash ${CMAKE_SOURCE_DIR}/tests/host/setup_apt_test.sh)

# Fuzz targets: tests/fuzz/<name>_fuzz.cpp. ctest runs each for a bounded time from its corpus.
set(KYR_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under ctest")
file(GLOB kyr_fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src IN LISTS kyr_fuzzers)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE kyr_engine)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
  set(seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name})
  add_test(NAME fuzz.${name}
    COMMAND sh -c "mkdir -p '${corpus}' && exec '$<TARGET_FILE:${name}>' -max_total_time=${KYR_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 '${corpus}' $([ -d '${seeds}' ] && echo '${seeds}')")
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
endforeach()

# Benchmarks of pure code: bench/host/<name>_bench.cpp, run by `make bench` beside the Windows
# ones. They time optimised code, so the sources they measure are built here again without
# the sanitizers and the coverage counters of the area libraries.
add_library(kyr_bench_pure STATIC
  ${CMAKE_SOURCE_DIR}/src/engine/graphics/BatchGeometry.cpp
  ${CMAKE_SOURCE_DIR}/src/engine/graphics/QuadVertices.cpp
  ${CMAKE_SOURCE_DIR}/src/engine/core/SineTable.cpp)
target_include_directories(kyr_bench_pure PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(kyr_bench_pure PUBLIC -O2 -Wall -Wextra)
add_custom_target(host_benches)
file(GLOB kyr_host_benchmarks CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/host/*_bench.cpp)
foreach(src IN LISTS kyr_host_benchmarks)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} EXCLUDE_FROM_ALL ${src})
  target_link_libraries(${name} PRIVATE kyr_bench_pure)
  target_compile_options(${name} PRIVATE -O2)
  add_dependencies(host_benches ${name})
endforeach()
