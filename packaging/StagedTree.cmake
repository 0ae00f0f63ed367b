# Run by cpack on the installed files before it packs them.
#
# Every directory gets mode 0755. The install rules ask for it
# (CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS), but cmake makes directories
# through the builder's umask, and under umask 077 they would be packed, and
# installed, as root's alone. Files and programs get their modes from their
# install rules, which cmake sets whatever the umask.
execute_process(
  COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY} -type d -exec chmod 0755 {} +
  COMMAND_ERROR_IS_FATAL ANY)

# Every file, link and directory gets the time SOURCE_DATE_EPOCH. The .deb's
# archive writes that time anyway, but rpmbuild only clamps the times that
# are later, and a file checked out before the last commit would keep its own.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
            -exec touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endif()
