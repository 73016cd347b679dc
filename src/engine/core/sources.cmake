list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/SineTable.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/DxEntryPoints.cpp
  ${KYR_AREA_DIR}/EventList.cpp
  ${KYR_AREA_DIR}/GDebug.cpp
  ${KYR_AREA_DIR}/GFEP.cpp
  ${KYR_AREA_DIR}/KYRWin.cpp
  ${KYR_AREA_DIR}/LazyDll.cpp
  ${KYR_AREA_DIR}/MessageBox.cpp
  ${KYR_AREA_DIR}/Registries.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/IDataStream.h
  ${KYR_AREA_DIR}/IKYRInterface.h
  ${KYR_AREA_DIR}/IKYRWin.h
  ${KYR_AREA_DIR}/ObjectId.h)
