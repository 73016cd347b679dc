list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/BindingDefaults.cpp
  ${KYR_AREA_DIR}/BindingText.cpp
  ${KYR_AREA_DIR}/JoystickControls.cpp
  ${KYR_AREA_DIR}/KeyNames.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/BindingIni.cpp
  ${KYR_AREA_DIR}/DIDataFormats.cpp
  ${KYR_AREA_DIR}/DIInput.cpp
  ${KYR_AREA_DIR}/Input.cpp
  ${KYR_AREA_DIR}/KYRDI.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/IKYRDI.h)
