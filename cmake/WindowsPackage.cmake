# The Windows zip: quilvanor.exe with the Qt DLLs and plugins it loads, the
# MinGW runtime, Qt's French texts, the French read-me and the operator's
# guide, all in one folder (cpack -G ZIP).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QUILVANOR_WINDOWS_BITS 64)
    set(QUILVANOR_WINDOWS_ARCH x64)
    set(mingw_gcc_runtime libgcc_s_seh-1.dll)
else()
    set(QUILVANOR_WINDOWS_BITS 32)
    set(QUILVANOR_WINDOWS_ARCH x86)
    set(mingw_gcc_runtime libgcc_s_dw2-1.dll)
endif()

# The DLLs of the MinGW runtime, where the compiler itself finds them.
set(mingw_runtime)
foreach(dll libstdc++-6.dll ${mingw_gcc_runtime} libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "MinGW runtime ${dll} not found by ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND mingw_runtime ${found})
endforeach()
set(QUILVANOR_MINGW_RUNTIME ${mingw_runtime} CACHE INTERNAL "MinGW runtime DLLs")

set(qt_bin ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
set(qt_plugins ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
# Qt Network and its Schannel plugin carry an https portal's exchanges (TLS
# through Windows' own Schannel: no OpenSSL to ship).
set(QUILVANOR_QT_DLLS ${qt_bin}/Qt6Core.dll ${qt_bin}/Qt6Gui.dll ${qt_bin}/Qt6Widgets.dll
    ${qt_bin}/Qt6Sql.dll ${qt_bin}/Qt6PrintSupport.dll ${qt_bin}/Qt6Network.dll CACHE INTERNAL "Qt DLLs the program loads")
set(QUILVANOR_QT_PLUGINS platforms/qwindows.dll sqldrivers/qsqlodbc.dll imageformats/qjpeg.dll
    styles/qwindowsvistastyle.dll tls/qschannelbackend.dll CACHE INTERNAL "Qt plugins the program loads")

install(TARGETS quilvanor RUNTIME DESTINATION .)
install(FILES ${QUILVANOR_QT_DLLS} ${mingw_runtime} DESTINATION .)
set(installed_dlls)
foreach(dll ${QUILVANOR_QT_DLLS} ${mingw_runtime})
    get_filename_component(name ${dll} NAME)
    list(APPEND installed_dlls ${name})
endforeach()
foreach(plugin ${QUILVANOR_QT_PLUGINS})
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${qt_plugins}/${plugin} DESTINATION ${folder})
    list(APPEND installed_dlls ${plugin})
endforeach()
# The MinGW runtime comes with its symbols (libstdc++ is 24 MB, 2 MB without):
# every DLL is shipped stripped, the program too.
install(CODE "
    foreach(file quilvanor.exe ${installed_dlls})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${CMAKE_INSTALL_PREFIX}/\${file}\"
            RESULT_VARIABLE stripped)
        if(NOT stripped EQUAL 0)
            message(FATAL_ERROR \"cannot strip \${file}\")
        endif()
    endforeach()")

# The read-me in Windows-1252 with CR LF line ends, as Notepad reads it everywhere.
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/LISEZMOI.txt ${CMAKE_BINARY_DIR}/LISEZMOI.utf8.txt
    @ONLY NEWLINE_STYLE CRLF)
execute_process(COMMAND iconv -f UTF-8 -t WINDOWS-1252 ${CMAKE_BINARY_DIR}/LISEZMOI.utf8.txt
    OUTPUT_FILE ${CMAKE_BINARY_DIR}/LISEZMOI.txt RESULT_VARIABLE iconv_result)
if(NOT iconv_result EQUAL 0)
    message(FATAL_ERROR "LISEZMOI.txt: iconv could not write it in Windows-1252")
endif()
install(FILES ${CMAKE_BINARY_DIR}/LISEZMOI.txt DESTINATION .)
install(FILES ${QUILVANOR_GUIDE_FILES} DESTINATION guide)

# Qt's own texts in French (the print dialog, the preview's buttons): Qt's
# translation files do not depend on the platform, the build machine's serve.
find_file(QUILVANOR_QTBASE_FR qtbase_fr.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUILVANOR_QTBASE_FR)
    message(FATAL_ERROR "qtbase_fr.qm not found: install qt6-translations-l10n (make deps-windows)")
endif()
install(FILES ${QUILVANOR_QTBASE_FR} DESTINATION translations)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quilvanor)
set(CPACK_PACKAGE_FILE_NAME quilvanor-${PROJECT_VERSION}-windows-${QUILVANOR_WINDOWS_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
include(CPack)
