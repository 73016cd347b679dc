list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/ConfigSheet.cpp
  ${KYR_AREA_DIR}/GeneralPage.cpp)
