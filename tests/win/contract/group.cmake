# The contract program plays movies: it borrows the AVI builder and the converter stand-in.
list(APPEND group_sources ${CMAKE_SOURCE_DIR}/tests/win/dshow/MediaFixtures.cpp
     ${CMAKE_SOURCE_DIR}/tests/win/video/VideoStandIns.cpp)
# Its own entry point: a game has no box hook, so the engine's boxes are real ones there.
set(group_main)
# Wine's D3DX compiles no technique source: the program loads a stand-in of the effect
# compiler (tests/win/contract/standin/) from a folder of its own before D3DX is first used.
add_library(contract_effect_compiler SHARED ${CMAKE_CURRENT_LIST_DIR}/standin/EffectCompiler.cpp)
set_target_properties(contract_effect_compiler PROPERTIES PREFIX "" OUTPUT_NAME d3dcompiler_47
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/contract-standins)
target_link_libraries(contract_effect_compiler PRIVATE kyr_tree_flags dxguid)
target_link_options(contract_effect_compiler PRIVATE -Wl,--kill-at)  # undecorated names
set(group_depends contract_effect_compiler)
