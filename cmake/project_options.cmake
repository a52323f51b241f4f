# Warnings are errors for every target of ours; third-party code keeps its own flags.
function(merido_target_defaults target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wno-sign-conversion -Werror)
    endif()
endfunction()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                            _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    if(MINGW)
        # One self-contained exe: no libstdc++, libgcc or winpthread DLLs beside it.
        add_link_options(-static -static-libgcc -static-libstdc++)
    endif()
endif()

# A Windows GUI program with a Unicode entry point (wWinMain).
function(merido_gui_executable target)
    merido_target_defaults(${target})
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
    if(MINGW)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()

# A Windows console program with a Unicode entry point (wmain).
function(merido_console_executable target)
    merido_target_defaults(${target})
    if(MINGW)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()

# The layers' headers are not reached through the project's folder: each library target has an
# include folder of its own in the build tree, holding one forwarding header "<layer>/<file>.h"
# per header it exposes. A target therefore sees a layer's headers only when it links that
# layer's library, and a lower layer cannot include a higher one; sources keep writing
# #include "layer/file.h". The headers are named relative to the project's folder.
function(merido_expose_headers target scope)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    foreach(header IN LISTS ARGN)
        file(GENERATE OUTPUT ${root}/${header}
             CONTENT "#pragma once\n#include \"${PROJECT_SOURCE_DIR}/${header}\"\n")
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# The same for the headers of one folder (not its sub-folders), less those named after EXCEPT.
function(merido_expose_folder target scope folder)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "EXCEPT")
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
         ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    if(arg_EXCEPT)
        list(REMOVE_ITEM headers ${arg_EXCEPT})
    endif()
    merido_expose_headers(${target} ${scope} ${headers})
endfunction()
