list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/KYRStd.cpp
  ${KYR_AREA_DIR}/MediaTypeName.cpp
  ${KYR_AREA_DIR}/SoundScales.cpp
  ${KYR_AREA_DIR}/StdFPSWait.cpp
  ${KYR_AREA_DIR}/StdFileStream.cpp
  ${KYR_AREA_DIR}/StdMemory.cpp
  ${KYR_AREA_DIR}/StdTrig.cpp
  ${KYR_AREA_DIR}/StreamClock.cpp
  ${KYR_AREA_DIR}/VideoFrame.cpp
  ${KYR_AREA_DIR}/WavRead.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/D3DVideo.cpp
  ${KYR_AREA_DIR}/D3DVideoTexture.cpp
  ${KYR_AREA_DIR}/DSMediaStream.cpp
  ${KYR_AREA_DIR}/DSSoundBuffer.cpp
  ${KYR_AREA_DIR}/DSoundStream.cpp
  ${KYR_AREA_DIR}/DShowAudioGraph.cpp
  ${KYR_AREA_DIR}/DShowDecoders.cpp
  ${KYR_AREA_DIR}/DShowPins.cpp
  ${KYR_AREA_DIR}/DShowStream.cpp
  ${KYR_AREA_DIR}/FileSourceWin.cpp
  ${KYR_AREA_DIR}/GraphPlayback.cpp
  ${KYR_AREA_DIR}/GraphSteps.cpp
  ${KYR_AREA_DIR}/KYRDS.cpp
  ${KYR_AREA_DIR}/SystemClockWin.cpp
  ${KYR_AREA_DIR}/VideoGraph.cpp
  ${KYR_AREA_DIR}/VideoPlayback.cpp
  ${KYR_AREA_DIR}/VideoRender.cpp)
list(APPEND KYR_HOST_SOURCES
  ${KYR_AREA_DIR}/host/HostPlatform.cpp)
