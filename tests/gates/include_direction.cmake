# Fails when a file of a DLL folder includes anything from app/: the DLLs own their contracts and
# the program uses them, never the other way round.
#   cmake -DROOT=<source tree> -P include_direction.cmake
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(dll_folders navlib32 hvnreg32 hvndlg32 navres32)
set(offences "")
foreach(folder ${dll_folders})
  file(GLOB_RECURSE files LIST_DIRECTORIES false ${ROOT}/${folder}/*)
  foreach(path ${files})
    file(STRINGS ${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*/)?app/")
    foreach(line ${includes})
      file(RELATIVE_PATH name ${ROOT} ${path})
      string(STRIP "${line}" line)
      string(APPEND offences "  ${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()

if(offences)
  message(FATAL_ERROR "DLL sources include from app/:\n${offences}")
endif()
message(STATUS "No DLL source includes from app/ (${dll_folders})")
