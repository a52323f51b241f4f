# The program's versions come from version.txt, which says each once. Included by the project
# before project(), which takes the file version; run as a script by tools/test_tools.py, which
# builds the resource file with the same generated files:
#   cmake -DMERIDO_VERSION_OUTPUT=DIR -P cmake/version.cmake
set(MERIDO_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

# Sets MERIDO_<NAME> for each "NAME = text" line of version.txt.
macro(merido_read_versions)
    file(STRINGS ${MERIDO_SOURCE_ROOT}/version.txt merido_version_lines REGEX "^[A-Z_]+ = ")
    foreach(line IN LISTS merido_version_lines)
        string(REGEX MATCH "^([A-Z_]+) = (.*)$" matched "${line}")
        set(MERIDO_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endforeach()
    string(REPLACE "." "," MERIDO_FILE_VERSION_NUMBERS "${MERIDO_FILE_VERSION}")
endmacro()

# Writes headerDir/app/version.h, which the code and the resource file read, and
# manifestDir/merido_b.manifest, which the resource file embeds.
function(merido_write_version_files headerDir manifestDir)
    configure_file(${MERIDO_SOURCE_ROOT}/app/version.h.in ${headerDir}/app/version.h @ONLY)
    configure_file(${MERIDO_SOURCE_ROOT}/app/resources/merido_b.manifest.in
                   ${manifestDir}/merido_b.manifest @ONLY)
endfunction()

merido_read_versions()
if(NOT CMAKE_SCRIPT_MODE_FILE)
    # A changed version.txt configures the build again.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MERIDO_SOURCE_ROOT}/version.txt)
elseif(DEFINED MERIDO_VERSION_OUTPUT)
    merido_write_version_files(${MERIDO_VERSION_OUTPUT} ${MERIDO_VERSION_OUTPUT})
endif()
