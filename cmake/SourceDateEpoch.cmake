# Every time stamp in what we pack (archive entries, gzip headers, the RPM's
# build time, the Windows zip's entries) comes from SOURCE_DATE_EPOCH; when
# it is not set, quasaril_source_date_epoch(TREE) sets it to the time of the
# last commit in TREE, so two builds of one commit give the same bytes
# wherever and whenever they run.
function(quasaril_source_date_epoch tree)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
  endif()
  execute_process(
    COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY ${tree}
    OUTPUT_VARIABLE commit_time
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_failed
    ERROR_QUIET)
  if(git_failed OR NOT commit_time MATCHES "^[0-9]+$")
    message(WARNING "No git history in ${tree} and SOURCE_DATE_EPOCH "
                    "is not set: the time stamps are today's.")
  else()
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endfunction()
