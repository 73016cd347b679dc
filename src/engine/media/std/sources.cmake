list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/KYRStd.cpp
  ${KYR_AREA_DIR}/StdFPSWait.cpp
  ${KYR_AREA_DIR}/StdFileStream.cpp
  ${KYR_AREA_DIR}/StdMemory.cpp
  ${KYR_AREA_DIR}/StdTrig.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/FileSourceWin.cpp
  ${KYR_AREA_DIR}/SystemClockWin.cpp)
list(APPEND KYR_HOST_SOURCES
  ${KYR_AREA_DIR}/host/HostPlatform.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/IKYRStd.h
  ${KYR_AREA_DIR}/IStdFileStream.h
  ${KYR_AREA_DIR}/IStdFPSWait.h
  ${KYR_AREA_DIR}/StdObjectIds.h)
