# Installation (binary, manual page, documents) and the Debian package.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)

# Manual pages and changelogs are installed compressed, as Debian wants.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(source man/ablagix.1 docs/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${output}
    DEPENDS ${source})
  list(APPEND compressed ${output})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})

install(TARGETS ablagix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ablagix.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz docs/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME ablagix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
  "Ablagix developers <maintainers@users.noreply.c-seed-a0bc2fcf.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep dated backup copies of one file")
set(CPACK_PACKAGE_DESCRIPTION
"Each run of ablagix deletes the backups of a band of older dates, then
appends the source file's current bytes to today's backup, whose name is
a template with the date in place of [JJJJMMTT] or [JJMMTT]. Run daily by
cron or a systemd timer, it keeps the last weeks of backups. Every failure
shows in the exit status, and a failed run leaves the backup as it was.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
