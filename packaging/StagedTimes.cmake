# Run by cpack on the installed files before it packs them: every file, link
# and directory gets the time SOURCE_DATE_EPOCH. The .deb's archive writes that
# time anyway, but rpmbuild only clamps the times that are later, and a file
# checked out before the last commit would keep its own.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
            -exec touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endif()
