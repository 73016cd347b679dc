# The engine as a package a game builds against. `cmake --install <windows tree> --prefix P`
# puts the public headers under P/include/KYR (at the paths by which they include each other),
# the engine's libraries as one archive P/lib/libkyr_engine.a with libsquish beside it, and
# P/lib/cmake/KYR/KYRConfig.cmake, whose imported target KYR::engine carries the include path,
# the definitions, the link options and the system libraries. Included by WinTree.cmake after
# the areas have their system libraries.

# The engine's areas; the tool's own (settings, ui, web, app) stay out.
set(kyr_package_areas kyr_core kyr_graphics kyr_media_std kyr_media_sound kyr_media_dshow
  kyr_media_graph kyr_media_stream kyr_media_video kyr_input kyr_factory)
set(kyr_package_rooms engine/core engine/graphics engine/media/std engine/media/sound
  engine/media/dshow engine/media/graph engine/media/stream engine/media/video input
  engine/factory)

# One archive of every area's objects: a game links one library, and ld resolves the areas'
# references to each other inside it whatever their order.
set(kyr_package_objects)
foreach(lib IN LISTS kyr_package_areas)
  list(APPEND kyr_package_objects $<TARGET_OBJECTS:${lib}>)
endforeach()
add_library(kyr_package_engine STATIC ${kyr_package_objects})
add_dependencies(kyr_package_engine ${kyr_package_areas})
set_target_properties(kyr_package_engine PROPERTIES
  OUTPUT_NAME kyr_engine EXPORT_NAME engine LINKER_LANGUAGE CXX)

# The system libraries are those the areas link (WinTree.cmake): a static library's private
# links reach its users as $<LINK_ONLY:name>.
set(kyr_package_system_libs)
foreach(lib IN LISTS kyr_package_areas)
  get_target_property(links ${lib} INTERFACE_LINK_LIBRARIES)
  foreach(item IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item AND NOT TARGET ${item})
      list(APPEND kyr_package_system_libs ${item})
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES kyr_package_system_libs)

target_include_directories(kyr_package_engine INTERFACE $<INSTALL_INTERFACE:include/KYR>)
target_compile_definitions(kyr_package_engine INTERFACE ${KYR_WIN_DEFINITIONS})
target_link_options(kyr_package_engine INTERFACE ${KYR_WIN_LINK_OPTIONS})
# libsquish after the engine: the BMP decoder's DXT5 path calls it.
target_link_libraries(kyr_package_engine INTERFACE
  $<INSTALL_INTERFACE:$<INSTALL_PREFIX>/lib/libsquish.a> ${kyr_package_system_libs})

foreach(room IN LISTS kyr_package_rooms)
  if(KYR_PUBLIC_HEADERS_${room})
    install(FILES ${KYR_PUBLIC_HEADERS_${room}} DESTINATION include/KYR/${room})
  endif()
endforeach()
install(TARGETS kyr_package_engine EXPORT KYRTargets ARCHIVE DESTINATION lib)
install(FILES ${KYR_DEPS_DIR}/libsquish/lib/libsquish.a DESTINATION lib)
file(GLOB kyr_squish_licence ${KYR_DEPS_DIR}/libsquish/src/libsquish-*/LICENSE.txt)
if(kyr_squish_licence)
  list(GET kyr_squish_licence 0 kyr_squish_licence)
  install(FILES ${kyr_squish_licence} DESTINATION share/doc/KYR RENAME libsquish-LICENSE.txt)
endif()
install(EXPORT KYRTargets NAMESPACE KYR:: DESTINATION lib/cmake/KYR)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/KYRConfig.cmake DESTINATION lib/cmake/KYR)
