# Read by cpack before it makes each package: its time stamps come from
# SOURCE_DATE_EPOCH, or from the last commit.
include(${CPACK_QUASARIL_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
quasaril_source_date_epoch(${CPACK_QUASARIL_SOURCE_DIR})

# The layout the install rules give this package (see CMakeLists.txt), read
# by them while cpack installs into the package's tree.
if(CPACK_GENERATOR STREQUAL "RPM")
  set(ENV{QUASARIL_PACKAGE_LAYOUT} rpm)
else()
  set(ENV{QUASARIL_PACKAGE_LAYOUT} deb)
endif()

# rpmbuild cannot take every path: cpack refuses one with a space, and the
# build file it writes for rpmbuild pastes the path unquoted into shell
# lines, where a quote breaks them.
# Where the package directory holds anything but plain letters, digits and
# "/._+-", the RPM is built through a link to it with a plain name, in a
# directory of its own under /tmp. cpack copies the RPM out through the link
# after the last script it runs, so the link outlives cpack: the links an
# earlier build left, to this package directory or to one that is gone, go
# now.
if(CPACK_GENERATOR STREQUAL "RPM" AND NOT CPACK_PACKAGE_DIRECTORY MATCHES "^[A-Za-z0-9/._+-]+$")
  file(GLOB earlier_links /tmp/quasaril-rpm.*/package)
  foreach(link ${earlier_links})
    file(READ_SYMLINK ${link} earlier_target)
    if(earlier_target STREQUAL CPACK_PACKAGE_DIRECTORY OR NOT EXISTS ${earlier_target})
      get_filename_component(earlier_directory ${link} DIRECTORY)
      file(REMOVE ${link})
      file(REMOVE_RECURSE ${earlier_directory})
    endif()
  endforeach()
  execute_process(
    COMMAND mktemp -d /tmp/quasaril-rpm.XXXXXX
    OUTPUT_VARIABLE plain_directory
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  file(CREATE_LINK ${CPACK_PACKAGE_DIRECTORY} ${plain_directory}/package SYMBOLIC)
  message(STATUS "The RPM is built through ${plain_directory}/package, a link to "
                 "${CPACK_PACKAGE_DIRECTORY}, where it lies: rpmbuild cannot take that path.")
  set(CPACK_PACKAGE_DIRECTORY ${plain_directory}/package)
endif()
