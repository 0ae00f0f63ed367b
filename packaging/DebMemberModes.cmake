# Run by cpack after it makes each package, before it copies the package out.
#
# A .deb is an ar archive of three members, and cpack gives each the mode its
# file had when it wrote it, through the builder's umask: 0600 under umask
# 077. dpkg ignores those modes, but two builds would differ in bytes. Each
# member header gets mode 100644 here, as dpkg-deb writes it.
#
# An ar archive: "!<arch>\n", then each member's 60-byte header and its
# data, padded to an even length. In a header, the mode is 8 characters at
# offset 40 and the size 10 at offset 48.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(archive_magic_size 8)
set(header_size 60)
set(mode_offset 40)
set(size_offset 48)
foreach(deb ${CPACK_PACKAGE_FILES})
  file(SIZE ${deb} archive_size)
  set(header ${archive_magic_size})
  while(header LESS archive_size)
    math(EXPR mode_at "${header} + ${mode_offset}")
    execute_process(
      COMMAND sh -c "printf '100644  ' | dd of=\"$1\" bs=1 seek=\"$2\" conv=notrunc status=none"
              sh ${deb} ${mode_at}
      COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR size_at "${header} + ${size_offset}")
    file(READ ${deb} member_size OFFSET ${size_at} LIMIT 10)
    string(STRIP "${member_size}" member_size)
    math(EXPR header "${header} + ${header_size} + ${member_size} + ${member_size} % 2")
  endwhile()
endforeach()
