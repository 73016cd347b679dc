list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/VideoFrame.cpp
  ${KYR_AREA_DIR}/VideoFrameStore.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/D3DVideo.cpp
  ${KYR_AREA_DIR}/D3DVideoTexture.cpp
  ${KYR_AREA_DIR}/VideoGraph.cpp
  ${KYR_AREA_DIR}/VideoObjects.cpp
  ${KYR_AREA_DIR}/VideoPlayback.cpp
  ${KYR_AREA_DIR}/VideoRender.cpp)
