# dervane_comctl32: the common controls library, loaded on the first call of
# one of its functions instead of at start (a delay-import library made by
# dlltool from cmake/comctl32-delay.def, and the loader's helper).
set(comctl32_delay_lib "${CMAKE_BINARY_DIR}/delayload/libcomctl32_delay.a")
add_custom_command(OUTPUT "${comctl32_delay_lib}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/delayload"
  COMMAND "${CMAKE_DLLTOOL}" --input-def "${CMAKE_SOURCE_DIR}/cmake/comctl32-delay.def"
          --dllname comctl32.dll --output-delaylib "${comctl32_delay_lib}"
  DEPENDS "${CMAKE_SOURCE_DIR}/cmake/comctl32-delay.def"
  VERBATIM)
add_custom_target(dervane_comctl32_delay DEPENDS "${comctl32_delay_lib}")
add_library(dervane_comctl32 INTERFACE)
add_dependencies(dervane_comctl32 dervane_comctl32_delay)
target_link_libraries(dervane_comctl32 INTERFACE "${comctl32_delay_lib}" delayimp)
