# Reads the resources of a linked binary back and fails (removing the file,
# so that no build goes on with it) when its version record or, for a
# program, its manifest is not there as built:
#   cmake -DBINARY=... -DMANIFEST=<manifest file, or empty for a library>
#         -DDESCRIPTION=... -DFILE_NAME=... -DVERSION=... -DWINDRES=... -DOBJCOPY=...
#         -P CheckBinaryResources.cmake
# windres lists a binary's resources as a resource script; the manifest's
# bytes are compared with the .rsrc section's, as windres prints them only
# as numbers.

function(fail what)
  file(REMOVE "${BINARY}")
  message(FATAL_ERROR "${BINARY}: ${what} (file removed)")
endfunction()

get_filename_component(name "${BINARY}" NAME)
execute_process(COMMAND "${WINDRES}" -i "${BINARY}" -O rc
  OUTPUT_VARIABLE script ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("its resources cannot be read: ${errors}")
endif()

string(REPLACE "." ", " fixed "${VERSION}")
foreach(expected
    "1 VERSIONINFO"
    "FILEVERSION ${fixed}, 0"
    "PRODUCTVERSION ${fixed}, 0"
    "VALUE \"ProductName\", \"Dervane\""
    "VALUE \"ProductVersion\", \"${VERSION}\""
    "VALUE \"FileVersion\", \"${VERSION}\""
    "VALUE \"FileDescription\", \"${DESCRIPTION}\""
    "VALUE \"OriginalFilename\", \"${FILE_NAME}\"")
  string(FIND "${script}" "${expected}" at)
  if(at EQUAL -1)
    fail("no version record with ${expected}")
  endif()
endforeach()

if(MANIFEST)
  string(FIND "${script}" "1 24 /* RT_MANIFEST */" at)
  if(at EQUAL -1)
    fail("no manifest (RT_MANIFEST 1)")
  endif()
  set(section "${BINARY}.rsrc")
  execute_process(COMMAND "${OBJCOPY}" -O binary -j .rsrc "${BINARY}" "${section}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(REMOVE "${section}")
    fail("its resource section cannot be read")
  endif()
  file(READ "${section}" resources HEX)
  file(REMOVE "${section}")
  file(READ "${MANIFEST}" manifest_text)
  string(FIND "${manifest_text}" "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>" at)
  if(at EQUAL -1 AND NOT SYSTEM_CODE_PAGE)
    fail("its manifest does not set the UTF-8 code page")
  endif()
  file(READ "${MANIFEST}" manifest HEX)
  string(FIND "${resources}" "${manifest}" at)
  math(EXPR odd "${at} % 2")
  if(at EQUAL -1 OR odd)
    fail("its manifest is not the one built (${MANIFEST})")
  endif()
endif()
