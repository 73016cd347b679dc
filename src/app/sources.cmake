list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/Application.cpp
  ${KYR_AREA_DIR}/KYRHelp.cpp
  ${KYR_AREA_DIR}/ModuleDirectory.cpp
  ${KYR_AREA_DIR}/SingleInstance.cpp)
