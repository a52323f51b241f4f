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
