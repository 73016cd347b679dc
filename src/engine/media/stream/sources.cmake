list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/StreamClock.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/DSMediaStream.cpp
  ${KYR_AREA_DIR}/DShowAudioGraph.cpp
  ${KYR_AREA_DIR}/DShowStream.cpp
  ${KYR_AREA_DIR}/DSoundStream.cpp
  ${KYR_AREA_DIR}/KYRDS.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/IStreamControl.h)
