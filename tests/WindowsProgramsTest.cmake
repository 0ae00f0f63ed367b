# cmake -D OBJDUMP=... -D WINDRES=... -D VERSION=... -D PROGRAMS=quasaril.exe;...
#       -D LIBRARY=OpenAL32.dll -P WindowsProgramsTest.cmake
# What a Windows player's machine needs of the programs: no DLL but Windows'
# own and OpenAL32.dll, shipped beside them, which itself needs only
# Windows' own; the game a GUI program, which opens no console window, every
# other a console program; no link time in the headers; and in the
# resources the game's icon, in its six sizes, its version and a manifest.
cmake_minimum_required(VERSION 3.25)
set(system_dlls ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll OPENGL32.dll SHELL32.dll USER32.dll WINMM.dll)
get_filename_component(shipped_dll ${LIBRARY} NAME)
# OpenAL Soft's sound backends use COM and the multimedia scheduler.
set(library_dlls AVRT.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll WINMM.dll)
string(REPLACE "." ", " numeric_version "${VERSION}")

function(fail program what)
  message(SEND_ERROR "${program}: ${what}")
endfunction()

# check_headers(FILE ALLOWED-DLLS...): FILE imports only those DLLs and has
# no link time; its headers are left in the variable headers.
function(check_headers file)
  get_filename_component(name ${file} NAME)
  # objdump shows the link time in local time.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${OBJDUMP} -p ${file}
                  OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  list(TRANSFORM imports REPLACE "DLL Name: " "")
  if(NOT imports)
    fail(${name} "no imports found")
  endif()
  foreach(dll ${imports})
    if(NOT dll IN_LIST ARGN)
      fail(${name} "imports ${dll}, which a player's Windows may not have")
    endif()
  endforeach()
  string(REGEX MATCH "\nTime/Date[^\n]*" time_line "${headers}")
  string(STRIP "${time_line}" time_line)
  if(NOT time_line MATCHES "Thu Jan  1 00:00:00 1970$")
    fail(${name} "a link time in the headers: ${time_line}")
  endif()
  set(headers "${headers}" PARENT_SCOPE)
endfunction()

check_headers(${LIBRARY} ${library_dlls})
foreach(program ${PROGRAMS})
  get_filename_component(name ${program} NAME)
  check_headers(${program} ${system_dlls} ${shipped_dll})
  if(name STREQUAL "quasaril.exe")
    set(subsystem GUI)
  else()
    set(subsystem CUI)
  endif()
  string(REGEX MATCH "\nSubsystem[^\n]*" subsystem_line "${headers}")
  string(STRIP "${subsystem_line}" subsystem_line)
  if(NOT subsystem_line MATCHES "\\(Windows ${subsystem}\\)$")
    fail(${name} "not a Windows ${subsystem} program: ${subsystem_line}")
  endif()

  execute_process(COMMAND ${WINDRES} -J coff -O rc -i ${program}
                  OUTPUT_VARIABLE resources COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "/\\* RT_ICON \\*/" icons "${resources}")
  list(LENGTH icons icon_count)
  if(NOT icon_count EQUAL 6 OR NOT resources MATCHES "RT_GROUP_ICON")
    fail(${name} "not the game's icon in its six sizes")
  endif()
  # Windows 10's identifier among those supported; awareness of each
  # monitor's resolution, so Windows does not blur the window.
  if(NOT resources MATCHES "1 24 /\\* RT_MANIFEST \\*/"
     OR NOT resources MATCHES "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"
     OR NOT resources MATCHES "true/pm.*PerMonitorV2")
    fail(${name} "no manifest naming Windows 10 and awareness of each monitor's resolution")
  endif()
  if(NOT resources MATCHES "FILEVERSION ${numeric_version}, 0"
     OR NOT resources MATCHES "VALUE \"ProductVersion\", \"${VERSION}\""
     OR NOT resources MATCHES "VALUE \"OriginalFilename\", \"${name}\"")
    fail(${name} "not version ${VERSION} of ${name}")
  endif()
endforeach()
