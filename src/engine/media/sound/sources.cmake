list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/SoundScales.cpp
  ${KYR_AREA_DIR}/WavRead.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/DSSoundBuffer.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/IKYRDS.h
  ${KYR_AREA_DIR}/ISoundReader.h
  ${KYR_AREA_DIR}/SoundObjectIds.h)
