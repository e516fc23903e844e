# Debian package: the program in lib/paydesk, a launcher on the PATH that gives each user a
# writable program folder (info.ini, tmp/, request files), the desktop entry and the icon.
include(GNUInstallDirs)
install(TARGETS paydesk RUNTIME DESTINATION lib/paydesk)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/paydesk-launcher DESTINATION bin RENAME paydesk)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/paydesk.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/app/resources/icons/app.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME paydesk.svg)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/paydesk.ini.example DESTINATION share/doc/paydesk)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME paydesk)
set(CPACK_PACKAGE_VERSION 20191029.001)
set(CPACK_PACKAGE_VENDOR "PAYDESK")
set(CPACK_PACKAGE_CONTACT "PAYDESK <support@paydesk.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PAYDESK 출금서비스 - CMS automatic withdrawal billing client")
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmariadb3, libcurl4, libxlsxwriter4, fonts-noto-cjk, qt6-translations-l10n, qt6-image-formats-plugins")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
