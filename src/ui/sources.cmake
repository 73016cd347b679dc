list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/ConfigSheet.cpp)
