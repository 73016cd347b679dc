# find_package(KYR) for a game: link KYR::engine. The engine is 32-bit Windows code built with
# MinGW-w64's i686 -posix compilers and linked statically, so the game is built with the same
# toolchain file (the C++ runtimes of other compilers do not mix with it).
if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KYR_FOUND FALSE)
  set(KYR_NOT_FOUND_MESSAGE
    "the KYR engine is 32-bit Windows code: configure with the MinGW-w64 i686 toolchain file")
  return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/KYRTargets.cmake")
