# Installs the build into PREFIX and checks that the folder runs as it is, as the portable ZIP
# does: the program, the plugins it loads, Qt's catalogues and the message table's script are
# there, and every DLL that any of them imports is there too or is one that the system has (in
# SYSTEM_DLLS, or an API set).
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --config ${CONFIG}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "The install failed:\n${output}")
endif()

set(missing)
foreach(expected IN ITEMS mostrela.exe Qt6Core.dll platforms/qwindows.dll platforms/qoffscreen.dll
        platforms/qminimal.dll sqldrivers/qsqlodbc.dll styles/qwindowsvistastyle.dll
        imageformats/qico.dll translations/qtbase_pt_BR.qm SaidaDisplay.sql)
    if(NOT EXISTS ${PREFIX}/${expected})
        list(APPEND missing ${expected})
    endif()
endforeach()

# Windows finds a DLL by name whatever its case: in the program's folder, then the system's.
file(GLOB beside RELATIVE ${PREFIX} ${PREFIX}/*.dll)
file(GLOB system RELATIVE ${SYSTEM_DLLS} ${SYSTEM_DLLS}/*.dll)
string(TOLOWER "${beside};${system}" known)
file(GLOB_RECURSE binaries ${PREFIX}/*.exe ${PREFIX}/*.dll)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REPLACE "DLL Name: " "" name "${import}")
        string(TOLOWER "${name}" name)
        list(FIND known "${name}" found)
        # API sets name parts of the system that its loader maps to DLLs of its own.
        if(found EQUAL -1 AND NOT name MATCHES "^(api|ext)-ms-win-")
            file(RELATIVE_PATH shown ${PREFIX} ${binary})
            list(APPEND missing "${name} (for ${shown})")
        endif()
    endforeach()
endforeach()

if(missing)
    list(REMOVE_DUPLICATES missing)
    list(JOIN missing "\n  " shown)
    message(FATAL_ERROR "The installed folder lacks:\n  ${shown}")
endif()
list(LENGTH binaries count)
message(STATUS "${count} programs and DLLs in ${PREFIX}, each finding what it imports")
