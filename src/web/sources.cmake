list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/Base64.cpp
  ${KYR_AREA_DIR}/FormReply.cpp
  ${KYR_AREA_DIR}/HmacSha1.cpp
  ${KYR_AREA_DIR}/OAuthHeader.cpp
  ${KYR_AREA_DIR}/PercentEncode.cpp
  ${KYR_AREA_DIR}/Sha1.cpp
  ${KYR_AREA_DIR}/StoredKey.cpp
  ${KYR_AREA_DIR}/UrlParts.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/HttpRequest.cpp
  ${KYR_AREA_DIR}/OAuthStamp.cpp
  ${KYR_AREA_DIR}/StoredKeyFile.cpp
  ${KYR_AREA_DIR}/SystemRandom.cpp
  ${KYR_AREA_DIR}/WinInetApi.cpp)
