# The Windows tree: GameConfig.exe, the area libraries, GoogleTest programs and the end-to-end
# driver. ctest runs every .exe through scripts/wine-run.sh (CMAKE_CROSSCOMPILING_EMULATOR).
enable_language(RC)
enable_testing()

set(KYR_WIN_COMPILE_OPTIONS
  -Wall -Wextra
  # SSE2 scalar floating point: every float operation rounds to single precision as the
  # engine's numbers are defined (x87 kept extended precision between steps). Needs a
  # Pentium 4 / Athlon 64 or later, as Windows 8 and later do anyway.
  -msse2 -mfpmath=sse
  # Sources are UTF-8; every narrow string the program uses is Shift-JIS (code page 932).
  -finput-charset=UTF-8 -fexec-charset=CP932)
set(KYR_WIN_DEFINITIONS
  _WIN32_WINNT=0x0601 WINVER=0x0601 DIRECTINPUT_VERSION=0x0800 STRSAFE_NO_DEPRECATE
  NOMINMAX)
set(KYR_WIN_LINK_OPTIONS -static -static-libgcc -static-libstdc++)

add_library(kyr_tree_flags INTERFACE)
target_include_directories(kyr_tree_flags INTERFACE ${KYR_DEPS_DIR}/boost-include)
target_compile_options(kyr_tree_flags INTERFACE ${KYR_WIN_COMPILE_OPTIONS})
target_compile_definitions(kyr_tree_flags INTERFACE ${KYR_WIN_DEFINITIONS})
target_link_options(kyr_tree_flags INTERFACE ${KYR_WIN_LINK_OPTIONS})
add_library(kyr_squish INTERFACE)  # built by scripts/setup.sh
target_include_directories(kyr_squish INTERFACE ${KYR_DEPS_DIR}/libsquish/include)
target_link_libraries(kyr_squish INTERFACE ${KYR_DEPS_DIR}/libsquish/lib/libsquish.a)
set(KYR_TREE_LISTS PURE WIN)
include(cmake/Areas.cmake)

# The system libraries each area calls. Only system DLLs are imported at start; the DirectX
# DLLs are bound on first use (engine/core/LazyDll), so none of their import libraries
# appears here (dxguid, strmiids and uuid hold only identifiers).
target_link_libraries(kyr_core PRIVATE kernel32 user32 gdi32 winmm)
target_link_libraries(kyr_graphics PRIVATE kernel32 dxguid)
target_link_libraries(kyr_media_std PRIVATE kernel32 winmm)
target_link_libraries(kyr_media_sound PRIVATE dxguid)
target_link_libraries(kyr_media_dshow PRIVATE kernel32 ole32 uuid strmiids)
target_link_libraries(kyr_media_graph PRIVATE kernel32 ole32 strmiids)
target_link_libraries(kyr_media_stream PRIVATE kernel32 uuid dxguid strmiids)
target_link_libraries(kyr_media_video PRIVATE kernel32 ole32 uuid strmiids)
target_link_libraries(kyr_input PRIVATE kernel32 user32 dxguid)
target_link_libraries(kyr_web PRIVATE kernel32 advapi32)
target_link_libraries(kyr_settings PRIVATE kernel32 user32 gdi32 shlwapi)
target_link_libraries(kyr_ui PRIVATE kernel32 user32 gdi32 comctl32)
target_link_libraries(kyr_app PRIVATE kernel32 user32 ole32)
# The engine's areas as the package a game builds against (`cmake --install`).
include(cmake/Package.cmake)

# tests/data holds the files test programs embed (RCDATA "bmp/d1.bmp").
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I ${CMAKE_SOURCE_DIR}/src/resources -I ${CMAKE_SOURCE_DIR}/tests/data")
add_executable(GameConfig WIN32 src/app/WinMain.cpp src/resources/GameConfig.rc)
target_link_libraries(GameConfig PRIVATE kyr_app)
# The debug information moves to GameConfig.exe.debug beside it (found through the
# .gnu_debuglink section): Wine reads every section of a PE image at start, and reading the
# few megabytes of DWARF cost a fifth of the time to a visible sheet on the emulated bench.
add_custom_command(TARGET GameConfig POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:GameConfig> $<TARGET_FILE:GameConfig>.debug
  COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:GameConfig>.debug
          $<TARGET_FILE:GameConfig>
  VERBATIM)
# windres reports no dependencies: every resource script is rebuilt when any resource changes.
file(GLOB kyr_resource_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*)
file(GLOB_RECURSE kyr_test_data CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/data/*)
set_source_files_properties(src/resources/GameConfig.rc PROPERTIES OBJECT_DEPENDS "${kyr_resource_files}")

# GoogleTest built with this toolchain by scripts/setup.sh.
set(GT ${KYR_DEPS_DIR}/googletest)
add_library(kyr_gtest INTERFACE)
target_include_directories(kyr_gtest INTERFACE ${GT}/include)
target_link_libraries(kyr_gtest INTERFACE ${GT}/lib/libgmock.a ${GT}/lib/libgtest.a)

# tests/win/<group>/*.cpp becomes <group>_tests.exe, one ctest entry each.
file(GLOB kyr_test_groups LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*)
foreach(dir IN LISTS kyr_test_groups)
  if(IS_DIRECTORY ${dir})
    get_filename_component(group ${dir} NAME)
    file(GLOB group_sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.rc)
    file(GLOB group_rc CONFIGURE_DEPENDS ${dir}/*.rc)
    if(group_rc)
      set_source_files_properties(${group_rc} PROPERTIES OBJECT_DEPENDS
        "${kyr_resource_files};${kyr_test_data}")
    endif()
    # A group may borrow another group's helpers: its group.cmake appends to group_sources.
    # It may also bring its own entry point (emptying group_main) and name targets the
    # program needs built beside it (group_depends).
    set(group_main ${CMAKE_SOURCE_DIR}/tests/win/test_main.cpp)
    set(group_depends)
    if(EXISTS ${dir}/group.cmake)
      include(${dir}/group.cmake)
    endif()
    if(group_sources)
      add_executable(${group}_tests ${group_sources} ${group_main})
      if(group_depends)
        add_dependencies(${group}_tests ${group_depends})
      endif()
      target_include_directories(${group}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/win
                                 ${CMAKE_SOURCE_DIR}/tests)
      # Test programs may call WinINet and the shell directly (their own loopback clients).
      target_link_libraries(${group}_tests PRIVATE kyr_engine kyr_gtest wininet shell32)
      add_test(NAME win.${group} COMMAND ${group}_tests)
      set_tests_properties(win.${group} PROPERTIES TIMEOUT 300)
    endif()
  endif()
endforeach()

# The end-to-end driver and any other Windows helper programs the e2e scripts use.
file(GLOB kyr_e2e_programs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/programs/*.cpp)
foreach(src IN LISTS kyr_e2e_programs)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE kyr_engine)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)  # support/
endforeach()

# tests/e2e/*_e2e.sh run the real GameConfig.exe from outside.
file(GLOB kyr_e2e_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_e2e.sh)
foreach(script IN LISTS kyr_e2e_scripts)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e.${name} PROPERTIES TIMEOUT 600)
endforeach()

# Benchmarks are programs, run by `make bench`, never by the tests.
file(GLOB kyr_benchmarks CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src IN LISTS kyr_benchmarks)
  get_filename_component(name ${src} NAME_WE)
  set(bench_rc)
  if(EXISTS ${CMAKE_SOURCE_DIR}/bench/${name}.rc)
    set(bench_rc ${CMAKE_SOURCE_DIR}/bench/${name}.rc)
  endif()
  add_executable(${name} ${src} ${bench_rc})
  target_link_libraries(${name} PRIVATE kyr_engine)
endforeach()
