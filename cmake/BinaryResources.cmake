# The resources every binary of the Windows build carries, from one template
# each and the project's one version (project() in the top CMakeLists.txt):
#
#   dervane_binary_resources(TARGET DESCRIPTION "text")
#       a deliverable: the version record (product "Dervane", the project's
#       version, DESCRIPTION as its file description) and, for a program,
#       the manifest (res/Program.manifest.in) as RT_MANIFEST 1. After
#       linking, cmake/CheckBinaryResources.cmake reads both back from the
#       file and fails the build (removing the file) when one is missing;
#   dervane_program_manifest(TARGET)
#       a test program: the same manifest, so that it sees the common
#       controls and the scaling the program sees.

set(DERVANE_BINARY_RESOURCES_DIR "${CMAKE_BINARY_DIR}/binary-resources")

# The four-part version a manifest's assembly identity needs.
set(DERVANE_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

# _dervane_binary_script(TARGET DESCRIPTION WITH_VERSION): writes and adds the
# target's resource script.
function(_dervane_binary_script target description with_version)
  get_target_property(type ${target} TYPE)
  set(dir "${DERVANE_BINARY_RESOURCES_DIR}/${target}")
  set(BINARY_NAME "${target}")
  set(BINARY_DESCRIPTION "${description}")
  if(type STREQUAL "EXECUTABLE")
    set(BINARY_FILE_NAME "${target}.exe")
    set(BINARY_FILE_TYPE VFT_APP)
    set(MANIFEST_NAME "Dervane.${target}")
    set(MANIFEST_VERSION "${DERVANE_VERSION_QUAD}")
    set(MANIFEST_DESCRIPTION "${description}")
    configure_file("${CMAKE_SOURCE_DIR}/res/Program.manifest.in" "${dir}/${target}.manifest" @ONLY)
    set(BINARY_MANIFEST_LINE "1 RT_MANIFEST \"${dir}/${target}.manifest\"")
  else()
    set(BINARY_FILE_NAME "${target}.dll")
    set(BINARY_FILE_TYPE VFT_DLL)
    set(BINARY_MANIFEST_LINE "")
  endif()
  if(with_version)
    configure_file("${CMAKE_SOURCE_DIR}/res/BinaryResources.rc.in" "${dir}/${target}.rc" @ONLY)
  else()
    file(CONFIGURE OUTPUT "${dir}/${target}.rc" CONTENT "#include <windows.h>\n@BINARY_MANIFEST_LINE@\n" @ONLY)
  endif()
  target_sources(${target} PRIVATE "${dir}/${target}.rc")
  if(type STREQUAL "EXECUTABLE")
    set_source_files_properties("${dir}/${target}.rc" PROPERTIES OBJECT_DEPENDS "${dir}/${target}.manifest")
  endif()
  set(binary_file_name "${BINARY_FILE_NAME}" PARENT_SCOPE)
  if(type STREQUAL "EXECUTABLE")
    set(binary_manifest "${dir}/${target}.manifest" PARENT_SCOPE)
  else()
    set(binary_manifest "" PARENT_SCOPE)
  endif()
endfunction()

function(dervane_binary_resources target)
  cmake_parse_arguments(B "" "DESCRIPTION" "" ${ARGN})
  if(NOT B_DESCRIPTION)
    message(FATAL_ERROR "dervane_binary_resources(${target}): a DESCRIPTION is needed")
  endif()
  _dervane_binary_script(${target} "${B_DESCRIPTION}" ON)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      "-DBINARY=$<TARGET_FILE:${target}>"
      "-DMANIFEST=${binary_manifest}"
      "-DDESCRIPTION=${B_DESCRIPTION}"
      "-DFILE_NAME=${binary_file_name}"
      "-DVERSION=${PROJECT_VERSION}"
      "-DWINDRES=${CMAKE_RC_COMPILER}"
      "-DOBJCOPY=${CMAKE_OBJCOPY}"
      -P "${CMAKE_SOURCE_DIR}/cmake/CheckBinaryResources.cmake"
    VERBATIM)
endfunction()

function(dervane_program_manifest target)
  _dervane_binary_script(${target} "Dervane test program" OFF)
endfunction()
