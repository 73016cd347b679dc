# One library per area of src/, bottom first: arrows only point down. LINKS names what each
# library uses of the others: PUBLIC where the area's headers include the other's headers,
# PRIVATE where only its .cpp files do.
#
# A library's include root (rooms/<library>/ in the build folder) holds links to its own rooms
# and nothing else, and reaches a consumer only through target_link_libraries. So a file sees
# the headers of its own area and of the areas its library links: an include against the
# layers finds no header and the build stops there.
#
# The including tree has made kyr_tree_flags (its compile and link options) and kyr_squish,
# and set KYR_TREE_LISTS, the source lists of sources.cmake it builds (PURE and WIN, or PURE and HOST).
# A library of which the tree builds no file is an INTERFACE library: its headers and links.

function(kyr_area lib)
  cmake_parse_arguments(PARSE_ARGV 1 A "" "" "ROOMS;LINKS")
  set(root ${CMAKE_BINARY_DIR}/rooms/${lib})
  file(REMOVE_RECURSE ${root})  # removes the links, never what they point to
  set(sources)
  list(SORT A_ROOMS)  # a room inside another of the same library comes with its parent
  foreach(room IN LISTS A_ROOMS)
    foreach(kind IN LISTS KYR_TREE_LISTS)
      list(APPEND sources ${KYR_${kind}_SOURCES_${room}})
    endforeach()
    if(NOT EXISTS ${root}/${room})
      get_filename_component(parent ${root}/${room} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${room} ${root}/${room} SYMBOLIC)
    endif()
    set_property(GLOBAL APPEND PROPERTY KYR_CLAIMED_ROOMS ${room})
  endforeach()
  if(sources)
    add_library(${lib} STATIC ${sources})
    target_include_directories(${lib} PUBLIC ${root})
    target_link_libraries(${lib} PUBLIC kyr_tree_flags ${A_LINKS})
    set_property(GLOBAL APPEND PROPERTY KYR_STATIC_AREAS ${lib})
  else()
    add_library(${lib} INTERFACE)
    target_include_directories(${lib} INTERFACE ${root})
    list(TRANSFORM A_LINKS REPLACE "^(PUBLIC|PRIVATE)$" INTERFACE)
    target_link_libraries(${lib} INTERFACE kyr_tree_flags ${A_LINKS})
  endif()
endfunction()

kyr_area(kyr_core ROOMS engine/core)
kyr_area(kyr_graphics ROOMS engine/graphics LINKS PUBLIC kyr_core PRIVATE kyr_squish)
kyr_area(kyr_media_std ROOMS engine/media/std LINKS PUBLIC kyr_core PRIVATE kyr_graphics)
kyr_area(kyr_media_sound ROOMS engine/media/sound LINKS PUBLIC kyr_core)
kyr_area(kyr_media_dshow ROOMS engine/media/dshow LINKS PUBLIC kyr_core)
kyr_area(kyr_media_graph ROOMS engine/media/graph
  LINKS PUBLIC kyr_core kyr_media_dshow PRIVATE kyr_media_sound)
kyr_area(kyr_media_stream ROOMS engine/media/stream
  LINKS PUBLIC kyr_core kyr_media_sound kyr_media_graph PRIVATE kyr_media_dshow)
kyr_area(kyr_media_video ROOMS engine/media/video
  LINKS PUBLIC kyr_core kyr_graphics kyr_media_dshow kyr_media_graph)
kyr_area(kyr_input ROOMS input LINKS PUBLIC kyr_core)
# The interface factory makes the top-level interface of every engine area.
kyr_area(kyr_factory ROOMS engine/factory
  LINKS PUBLIC kyr_core
  PRIVATE kyr_graphics kyr_media_std kyr_media_stream kyr_media_video kyr_input)
kyr_area(kyr_web ROOMS web LINKS PRIVATE kyr_core)
kyr_area(kyr_settings ROOMS settings LINKS PUBLIC kyr_core PRIVATE kyr_input)
kyr_area(kyr_ui ROOMS ui resources
  LINKS PUBLIC kyr_settings PRIVATE kyr_core kyr_graphics kyr_input kyr_web)
kyr_area(kyr_app ROOMS app
  LINKS PUBLIC kyr_core kyr_graphics kyr_input kyr_factory PRIVATE kyr_settings kyr_ui)

# Every room with a sources.cmake belongs to one library.
get_property(kyr_claimed GLOBAL PROPERTY KYR_CLAIMED_ROOMS)
foreach(room IN LISTS KYR_ROOMS)
  if(NOT room IN_LIST kyr_claimed)
    message(FATAL_ERROR "src/${room}/sources.cmake: no library in cmake/Areas.cmake has this room")
  endif()
endforeach()

# Everything at once, for the test programs, the end-to-end helpers and the benchmarks (some
# of which measure against bare libsquish).
add_library(kyr_engine INTERFACE)
target_link_libraries(kyr_engine INTERFACE
  kyr_core kyr_graphics kyr_media_std kyr_media_sound kyr_media_dshow kyr_media_graph
  kyr_media_stream kyr_media_video kyr_input kyr_factory kyr_web kyr_settings kyr_ui kyr_app
  kyr_squish)
