list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/AsyncRange.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/AsyncIo.cpp
  ${KYR_AREA_DIR}/AsyncOutputPin.cpp
  ${KYR_AREA_DIR}/AsyncReader.cpp
  ${KYR_AREA_DIR}/BaseFilter.cpp
  ${KYR_AREA_DIR}/BasePin.cpp
  ${KYR_AREA_DIR}/ComBase.cpp
  ${KYR_AREA_DIR}/DataStreamModule.cpp
  ${KYR_AREA_DIR}/MediaSample.cpp
  ${KYR_AREA_DIR}/MediaType.cpp
  ${KYR_AREA_DIR}/MemInputPin.cpp
  ${KYR_AREA_DIR}/MemAllocator.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/BaseVideoRenderer.cpp
  ${KYR_AREA_DIR}/RendererInputPin.cpp
  ${KYR_AREA_DIR}/SeekingPassThru.cpp)
