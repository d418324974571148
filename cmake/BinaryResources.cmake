# The resources every binary of the Windows build carries, from one template
# each and the project's one version (project() in the top CMakeLists.txt):
#
#   dervane_binary_resources(TARGET DESCRIPTION "text")
#       a deliverable: the version record (product "Dervane", the project's
#       version, DESCRIPTION as its file description) and, for a program,
#       the manifest (res/Program.manifest.in) as RT_MANIFEST 1. After
#       linking, cmake/CheckBinaryResources.cmake reads both back from the
#       file and fails the build (removing the file) when one is missing;
#   dervane_program_manifest(TARGET [SYSTEM_CODE_PAGE])
#       a test program: the same manifest, so that it sees the common
#       controls, the scaling and the code page the program sees.
#
# Every program's char strings are UTF-8 (the manifest's code page), apart
# from the programs that stand for someone else's (SYSTEM_CODE_PAGE): the
# desktop host plays the shell and a test's target program plays any program,
# and neither of those ever runs in UTF-8, so the libraries Dervane puts into
# them are tested in the system's code page.

set(DERVANE_BINARY_RESOURCES_DIR "${CMAKE_BINARY_DIR}/binary-resources")

# The four-part version a manifest's assembly identity needs.
set(DERVANE_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

# _dervane_binary_script(TARGET DESCRIPTION WITH_VERSION): writes and adds the
# target's resource script.
function(_dervane_binary_script target description with_version system_code_page)
  get_target_property(type ${target} TYPE)
  if(system_code_page)
    set(MANIFEST_CODE_PAGE "")
  else()
    set(MANIFEST_CODE_PAGE [=[      <!-- Every char string of the program is UTF-8: the A calls and the C
           runtime take and give UTF-8 (Windows 10 version 1903 and later). -->
      <activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>
]=])
  endif()
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
  cmake_parse_arguments(B "SYSTEM_CODE_PAGE" "DESCRIPTION" "" ${ARGN})
  if(NOT B_DESCRIPTION)
    message(FATAL_ERROR "dervane_binary_resources(${target}): a DESCRIPTION is needed")
  endif()
  _dervane_binary_script(${target} "${B_DESCRIPTION}" ON "${B_SYSTEM_CODE_PAGE}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      "-DBINARY=$<TARGET_FILE:${target}>"
      "-DMANIFEST=${binary_manifest}"
      "-DSYSTEM_CODE_PAGE=${B_SYSTEM_CODE_PAGE}"
      "-DDESCRIPTION=${B_DESCRIPTION}"
      "-DFILE_NAME=${binary_file_name}"
      "-DVERSION=${PROJECT_VERSION}"
      "-DWINDRES=${CMAKE_RC_COMPILER}"
      "-DOBJCOPY=${CMAKE_OBJCOPY}"
      -P "${CMAKE_SOURCE_DIR}/cmake/CheckBinaryResources.cmake"
    VERBATIM)
endfunction()

function(dervane_program_manifest target)
  cmake_parse_arguments(M "SYSTEM_CODE_PAGE" "" "" ${ARGN})
  _dervane_binary_script(${target} "Dervane test program" OFF "${M_SYSTEM_CODE_PAGE}")
endfunction()
