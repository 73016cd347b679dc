list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/AfterFirstPaint.cpp
  ${KYR_AREA_DIR}/BusyButton.cpp
  ${KYR_AREA_DIR}/ConfigSheet.cpp
  ${KYR_AREA_DIR}/GeneralPage.cpp
  ${KYR_AREA_DIR}/HardwarePage.cpp
  ${KYR_AREA_DIR}/KeyConfigPage.cpp
  ${KYR_AREA_DIR}/LinkPage.cpp
  ${KYR_AREA_DIR}/PageHelpers.cpp
  ${KYR_AREA_DIR}/SaveFailure.cpp)
list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/HardwareReport.cpp)
