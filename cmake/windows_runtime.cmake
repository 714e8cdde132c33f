# What the program needs beside it on Windows, installed with it so that the install folder runs
# as it is (the portable ZIP's layout): the Qt DLLs it loads, its plugins in the folders Qt looks
# for beside the program, the MinGW runtime and Qt's own texts in Portuguese. Named one by one:
# the same rules serve a cross build from Linux and a build on Windows with Qt's MinGW kit.

install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Sql Qt6::SerialPort
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Each plugin by the folder it is loaded from: the native window, the window-less ones that
# scripts and tests use, the ODBC driver, the native style, and the icon of the window.
foreach(plugin IN ITEMS
        platforms:QWindowsIntegrationPlugin platforms:QOffscreenIntegrationPlugin
        platforms:QMinimalIntegrationPlugin sqldrivers:QODBCDriverPlugin
        styles:QWindowsVistaStylePlugin imageformats:QICOPlugin)
    string(REPLACE ":" ";" parts ${plugin})
    list(GET parts 0 folder)
    list(GET parts 1 name)
    if(NOT TARGET Qt6::${name})
        message(FATAL_ERROR "This Qt has no ${name}, which the program loads from ${folder}/")
    endif()
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${name} LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR}/${folder})
endforeach()

# The MinGW runtime: Qt's kits carry it in their bin folder, a compiler in its own.
get_filename_component(qt_bin ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ABSOLUTE)
get_filename_component(compiler_bin ${CMAKE_CXX_COMPILER} DIRECTORY)
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    string(MAKE_C_IDENTIFIER ${dll} variable)
    find_file(MOSTRELA_RUNTIME_${variable} ${dll} PATHS ${qt_bin} ${compiler_bin}
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT MOSTRELA_RUNTIME_${variable})
        message(FATAL_ERROR "Neither ${qt_bin} nor ${compiler_bin} has ${dll}")
    endif()
    install(FILES ${MOSTRELA_RUNTIME_${variable}} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# Qt's catalogues are the same files on every system: a cross build takes the host's.
set(translation_folders ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS})
if(QT_HOST_PATH)
    list(APPEND translation_folders ${QT_HOST_PATH}/share/qt6/translations)
endif()
set(catalogues)
foreach(folder IN LISTS translation_folders)
    file(GLOB found ${folder}/qtbase_pt*.qm ${folder}/qt_pt*.qm)
    if(found)
        set(catalogues ${found})
        break()
    endif()
endforeach()
if(NOT catalogues)
    message(FATAL_ERROR "No Portuguese catalogue of Qt in ${translation_folders} "
                        "(Debian: qt6-translations-l10n)")
endif()
install(FILES ${catalogues} DESTINATION ${CMAKE_INSTALL_BINDIR}/translations)
