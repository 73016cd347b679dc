list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/BackBufferPixels.cpp
  ${KYR_AREA_DIR}/BatchGeometry.cpp
  ${KYR_AREA_DIR}/EffectErrorText.cpp
  ${KYR_AREA_DIR}/LinePointList.cpp
  ${KYR_AREA_DIR}/QuadVertices.cpp
  ${KYR_AREA_DIR}/TextureSize.cpp)
list(APPEND KYR_WIN_SOURCES
  ${KYR_AREA_DIR}/D3DBackBuffer.cpp
  ${KYR_AREA_DIR}/D3DEffect.cpp
  ${KYR_AREA_DIR}/EffectSettings.cpp
  ${KYR_AREA_DIR}/D3DLineRender.cpp
  ${KYR_AREA_DIR}/D3DRender.cpp
  ${KYR_AREA_DIR}/D3DTexture.cpp
  ${KYR_AREA_DIR}/D3DTriangleRender.cpp
  ${KYR_AREA_DIR}/DeviceCaps.cpp
  ${KYR_AREA_DIR}/KYRD3D.cpp
  ${KYR_AREA_DIR}/KYRD3DDevice.cpp
  ${KYR_AREA_DIR}/RenderSettings.cpp
  ${KYR_AREA_DIR}/RenderStateCache.cpp
  ${KYR_AREA_DIR}/VideoMaker.cpp)
list(APPEND KYR_PURE_SOURCES
  ${KYR_AREA_DIR}/BMPLoader.cpp
  ${KYR_AREA_DIR}/DecodeToSurface.cpp
  ${KYR_AREA_DIR}/StdGraphicsLoader.cpp)
list(APPEND KYR_PUBLIC_HEADERS
  ${KYR_AREA_DIR}/BatchTypes.h
  ${KYR_AREA_DIR}/GraphicsObjectIds.h
  ${KYR_AREA_DIR}/ID3DBackBuffer.h
  ${KYR_AREA_DIR}/ID3DEffect.h
  ${KYR_AREA_DIR}/ID3DRender.h
  ${KYR_AREA_DIR}/ID3DTexture.h
  ${KYR_AREA_DIR}/ID3DVideo.h
  ${KYR_AREA_DIR}/ID3DVideoTexture.h
  ${KYR_AREA_DIR}/IGraphicsPlugin.h
  ${KYR_AREA_DIR}/IKYRD3D.h
  ${KYR_AREA_DIR}/IStdGraphicsLoader.h)
