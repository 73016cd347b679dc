# The AVI files the DirectShow tests build in memory.
list(APPEND group_sources ${CMAKE_SOURCE_DIR}/tests/win/dshow/MediaFixtures.cpp)
