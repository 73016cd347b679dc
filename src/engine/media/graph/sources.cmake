list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/MediaTypeName.cpp
  ${KYR_AREA_DIR}/PlaybackClock.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/DShowDecoders.cpp
  ${KYR_AREA_DIR}/DShowPins.cpp
  ${KYR_AREA_DIR}/GraphPlayback.cpp
  ${KYR_AREA_DIR}/GraphSteps.cpp)
