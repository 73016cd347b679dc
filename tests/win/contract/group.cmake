# The contract program plays one movie: it borrows the AVI builder and the converter stand-in.
list(APPEND group_sources ${CMAKE_SOURCE_DIR}/tests/win/dshow/MediaFixtures.cpp
     ${CMAKE_SOURCE_DIR}/tests/win/video/VideoStandIns.cpp)
