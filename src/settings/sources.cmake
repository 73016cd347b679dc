list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/GeneralValues.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/GOption.cpp
  ${KYR_AREA_DIR}/IniFile.cpp)
