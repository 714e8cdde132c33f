# Fails, naming each file and include, where a source or header includes a path that climbs a
# folder with "..": a folder's headers are reached only as "folder/x.h", through the libraries
# it links, and ".." would pass by them.
#
# FOLDER: the one folder to read, with its subfolders; or ROOT: the project, whose every folder
# holding a CMakeLists.txt is read (build folders hold none).
if(DEFINED ROOT)
    file(GLOB entries LIST_DIRECTORIES true ${ROOT}/*)
    set(folders)
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
            list(APPEND folders ${entry})
        endif()
    endforeach()
elseif(DEFINED FOLDER)
    set(folders ${FOLDER})
else()
    message(FATAL_ERROR "Give FOLDER or ROOT")
endif()

set(climbing)
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files ${folder}/*.h ${folder}/*.hpp ${folder}/*.c ${folder}/*.cc
         ${folder}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes
             REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*[/\\\\])?\\.\\.[/\\\\]")
        foreach(include IN LISTS includes)
            string(STRIP "${include}" include)
            list(APPEND climbing "${file}: ${include}")
        endforeach()
    endforeach()
endforeach()

if(climbing)
    foreach(line IN LISTS climbing)
        message(NOTICE "${line}")
    endforeach()
    message(FATAL_ERROR "Includes above climb out of their folder with \"..\": include "
                        "\"folder/x.h\" and link the folder's library instead.")
endif()
