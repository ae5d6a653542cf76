# Installation under the standard prefixes: the two programs, the schema scripts, a
# desktop entry and its icon. The installed program finds its data folder relative to
# its own executable, so a DESTDIR or --prefix install works as it is.
include(GNUInstallDirs)

set(IMAESTROS_INSTALL_DATA "${CMAKE_INSTALL_DATADIR}/imaestros")
file(RELATIVE_PATH imaestros_data_from_bin "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/imaestros")
if(TARGET platform)
  target_compile_definitions(platform PRIVATE IMAESTROS_DATA_FROM_BIN="${imaestros_data_from_bin}")
endif()

foreach(program imaestros imaestros-dbinit)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/schema/sqlserver ${PROJECT_SOURCE_DIR}/schema/postgresql
        DESTINATION ${IMAESTROS_INSTALL_DATA}/schema
        FILES_MATCHING PATTERN "*.sql")
install(FILES ${PROJECT_SOURCE_DIR}/app/imaestros.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/imaestros.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
