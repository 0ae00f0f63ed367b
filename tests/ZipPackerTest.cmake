# cmake -D SOURCE_DIR=... -D WORK=DIR -P ZipPackerTest.cmake: the Windows zip's
# packer as make windows runs it. Two packings of the same files, from stages
# at different paths and inputs with different times and permissions, give
# the same bytes; the entries are sorted and carry the time SOURCE_DATE_EPOCH;
# text files get UTF-8's byte-order mark and Windows line ends.
set(ENV{SOURCE_DATE_EPOCH} 1700000000)
set(epoch_in_zip 20231114.221320) # the same instant, as zipinfo -T shows it
set(input ${WORK}/input)
file(REMOVE_RECURSE ${WORK})
file(WRITE ${input}/notes.txt "one\ntwo\n")
file(WRITE ${input}/brain.png "a picture's bytes\n")
file(WRITE ${input}/library.txt "licence\n")

function(pack run)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${SOURCE_DIR} -D STAGE=${WORK}/${run}/stage
            -D ZIP=${WORK}/${run}.zip -D STRIP=false
            "-D ENTRIES=notes.txt=${input}/notes.txt;brain.png=${input}/brain.png"
            -D LIBRARY_LICENSES=${input}/library.txt
            -P ${SOURCE_DIR}/packaging/windows/PackZip.cmake
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()
pack(first)
execute_process(COMMAND touch --date=@1 ${input}/notes.txt ${input}/brain.png COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${input}/brain.png PERMISSIONS OWNER_READ)
pack(second/deeper)

file(SHA256 ${WORK}/first.zip first)
file(SHA256 ${WORK}/second/deeper.zip second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "two packings of the same files differ")
endif()

execute_process(COMMAND zipinfo -T ${WORK}/first.zip OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n]* ${epoch_in_zip} [^\n]*" entries "${listing}")
list(TRANSFORM entries REPLACE ".* " "")
set(expected THIRD-PARTY-LICENSES.txt brain.png notes.txt)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "entries at ${epoch_in_zip}, in order: [${entries}], want [${expected}]\n${listing}")
endif()
if(NOT listing MATCHES "-rw-r--r--[^\n]* brain.png")
  message(FATAL_ERROR "brain.png is not readable by all:\n${listing}")
endif()

# Read as hexadecimal: execute_process would turn \r\n into \n.
file(ARCHIVE_EXTRACT INPUT ${WORK}/first.zip DESTINATION ${WORK}/unpacked PATTERNS notes.txt)
file(READ ${WORK}/unpacked/notes.txt notes HEX)
string(ASCII 239 187 191 utf8_mark)
string(HEX "${utf8_mark}one\r\ntwo\r\n" expected_notes)
if(NOT notes STREQUAL expected_notes)
  message(FATAL_ERROR "notes.txt reads ${notes} in hexadecimal, want ${expected_notes}")
endif()
file(REMOVE_RECURSE ${WORK})
