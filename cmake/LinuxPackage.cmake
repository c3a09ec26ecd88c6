# The Debian packages (cpack -G DEB, see `make package`):
#   quilvanor        the program, its launcher, desktop entry, icon and the
#                    operator's guide;
#   quilvanor-outils the sample database tool and the portal stand-in.
set(QUILVANOR_INSTALLED_PROGRAM /usr/lib/quilvanor/quilvanor)

# The program itself goes out of the way of PATH; the user starts it through
# the launcher, which runs a copy in the user's own folder (see quilvanor.in).
install(TARGETS quilvanor RUNTIME DESTINATION lib/quilvanor COMPONENT programme)
configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/quilvanor.in ${CMAKE_BINARY_DIR}/launcher/quilvanor @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/quilvanor DESTINATION bin COMPONENT programme)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/quilvanor.desktop DESTINATION share/applications
    COMPONENT programme)

# The icon: the logo's design drawn as SVG, and the usual bitmap sizes rendered
# from it (the target quilvanor-icons, which `make package` builds).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/quilvanor.svg DESTINATION share/icons/hicolor/scalable/apps
    COMPONENT programme)
set(icon_pngs)
foreach(size 16 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/quilvanor.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND rsvg-convert -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/packaging/linux/quilvanor.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linux/quilvanor.svg
        COMMENT "Icon ${size}x${size}")
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT programme)
    list(APPEND icon_pngs ${png})
endforeach()
add_custom_target(quilvanor-icons DEPENDS ${icon_pngs})

install(FILES ${QUILVANOR_GUIDE_FILES} DESTINATION share/doc/quilvanor COMPONENT programme)

install(TARGETS korva8-sample portal-standin RUNTIME DESTINATION bin COMPONENT outils)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quilvanor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR quilvanor)
set(CPACK_PACKAGE_CONTACT "Équipe quilvanor <quilvanor@example.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programme outils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # name_version_arch.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the libraries the programs link, from dpkg-shlibdeps
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAMME_PACKAGE_NAME quilvanor)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's ODBC driver and
# the ODBC driver manager's tools (odbcinst, isql) for declaring DB_KORVA8; for
# an https portal, OpenSSL (which Qt Network's TLS plugin opens) and the
# system's trusted authorities.
set(CPACK_DEBIAN_PROGRAMME_PACKAGE_DEPENDS
    "libqt6sql6-odbc, unixodbc, qt6-translations-l10n, libssl3, ca-certificates")
# The windows are drawn for Arial, Times New Roman and Courier New metrics.
set(CPACK_DEBIAN_PROGRAMME_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PROGRAMME_PACKAGE_SUGGESTS "libsqliteodbc, quilvanor-outils")
set(CPACK_COMPONENT_PROGRAMME_DESCRIPTION
    "Liaison entre la base de facturation KORVA 8 et le portail famille
Envoi des rôles de facturation au portail famille, synchronisation des
paiements dans les deux sens, liste des clients ayant choisi la facture
numérique. La base KORVA 8 est la source de données ODBC DB_KORVA8.")

set(CPACK_DEBIAN_OUTILS_PACKAGE_NAME quilvanor-outils)
set(CPACK_DEBIAN_OUTILS_PACKAGE_DEPENDS "libsqliteodbc")
set(CPACK_COMPONENT_OUTILS_DESCRIPTION
    "Outils d'essai de quilvanor : base KORVA 8 d'exemple et portail simulé
korva8-sample crée une base KORVA 8 d'exemple (SQLite) ; portal-standin
tient lieu de portail famille sur la machine, pour essayer quilvanor sans
toucher à la base ni au portail de la commune.")

include(CPack)
