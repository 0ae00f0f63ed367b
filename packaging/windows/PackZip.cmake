# cmake -D SOURCE_DIR=... -D STAGE=DIR -D ZIP=FILE -D STRIP=TOOL
#       -D ENTRIES=NAME=FILE;... -D LIBRARY_LICENSES=FILE;... -P PackZip.cmake
# Packs the Windows zip from a fresh stage: the programs and the DLL
# stripped, the text files in UTF-8 with a byte-order mark and Windows line
# ends, the libraries' licences in one file. The
# same inputs give the same bytes: the entries are sorted, every file has
# the time SOURCE_DATE_EPOCH (or the last commit's) and fixed permissions,
# and zip -X leaves out the owner and the extra time fields (access and
# change times) that would differ from build to build. A zip entry's time
# is local time, so zip runs in UTC.
include(${SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
quasaril_source_date_epoch(${SOURCE_DIR})

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(REMOVE ${ZIP})

# Windows' own editors read either line end; older ones only \r\n. Notepad
# takes text without a byte-order mark for the system's code page, and
# shows "Schüller" as "SchÃ¼ller": the texts are UTF-8 with the mark.
string(ASCII 239 187 191 utf8_mark)
function(write_text to text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${to} "${utf8_mark}${text}")
endfunction()
function(copy_text from to)
  file(READ ${from} text)
  write_text(${to} "${text}")
endfunction()

# The programs and the one DLL beside them.
set(binary "\\.(exe|dll)$")
set(names)
foreach(entry ${ENTRIES})
  string(REGEX MATCH "^([^=]+)=(.*)$" matched ${entry})
  set(name ${CMAKE_MATCH_1})
  set(from ${CMAKE_MATCH_2})
  if(name MATCHES "${binary}")
    # strip writes a new link time into the program's header: the time
    # SOURCE_DATE_EPOCH gives, else now. Zero is what the linker wrote.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                            ${STRIP} -o ${STAGE}/${name} ${from}
                    COMMAND_ERROR_IS_FATAL ANY)
  elseif(name MATCHES "\\.txt$")
    copy_text(${from} ${STAGE}/${name})
  else()
    file(COPY_FILE ${from} ${STAGE}/${name})
  endif()
  list(APPEND names ${name})
endforeach()

set(all_licenses "")
foreach(license ${LIBRARY_LICENSES})
  get_filename_component(library ${license} NAME_WE)
  file(READ ${license} text)
  string(APPEND all_licenses "==== ${library} ====\n\n${text}\n")
endforeach()
write_text(${STAGE}/THIRD-PARTY-LICENSES.txt "${all_licenses}")
list(APPEND names THIRD-PARTY-LICENSES.txt)

list(SORT names)
foreach(name ${names})
  if(name MATCHES "${binary}")
    file(CHMOD ${STAGE}/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  else()
    file(CHMOD ${STAGE}/${name} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch --date=@$ENV{SOURCE_DATE_EPOCH} ${names}
                  WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
endif()
list(JOIN names "\n" listing)
file(WRITE ${STAGE}.list "${listing}\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q ${ZIP} -@
                INPUT_FILE ${STAGE}.list
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
