# The video stand-ins (Wine has no colour space converter) and the AVI files in memory.
list(APPEND group_sources ${CMAKE_SOURCE_DIR}/tests/win/video/VideoStandIns.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/dshow/MediaFixtures.cpp)
