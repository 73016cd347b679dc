list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/InterfaceFactory.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/InterfaceFactory.h)
