# Read by cpack before it makes each package. Every time stamp in the
# packages (archive entries, gzip headers, the RPM's build time) comes from
# SOURCE_DATE_EPOCH; when it is not set, it is the time of the last commit,
# so two builds of one commit give the same bytes wherever and whenever they
# run.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY ${CPACK_QUASARIL_SOURCE_DIR}
    OUTPUT_VARIABLE commit_time
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_failed
    ERROR_QUIET)
  if(git_failed OR NOT commit_time MATCHES "^[0-9]+$")
    message(WARNING "No git history in ${CPACK_QUASARIL_SOURCE_DIR} and SOURCE_DATE_EPOCH "
                    "is not set: the package's time stamps are today's.")
  else()
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
