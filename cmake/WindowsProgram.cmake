# What every shipped Windows program carries: a version resource from the project's
# version, so that Explorer, PowerShell and installers can tell which one it is, and
# on 32-bit the stand-ins for imports that Windows XP lacks.
set(KAVRO_VERSION_RC_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.rc.in)

function(kavro_windows_program target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(KAVRO_FILE_TYPE VFT_APP)
        set(KAVRO_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
    else()
        set(KAVRO_FILE_TYPE VFT_DLL)
        set(KAVRO_FILE_NAME ${target}${CMAKE_SHARED_LIBRARY_SUFFIX})
    endif()
    set(KAVRO_FILE_DESCRIPTION "${description}")
    set(KAVRO_INTERNAL_NAME ${target})
    # "1.01" is major 1, minor 1 in the resource's numeric fields.
    math(EXPR KAVRO_VERSION_MAJOR "${PROJECT_VERSION_MAJOR} + 0")
    math(EXPR KAVRO_VERSION_MINOR "${PROJECT_VERSION_MINOR} + 0")
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${KAVRO_VERSION_RC_TEMPLATE} ${resource} @ONLY)
    target_sources(${target} PRIVATE ${resource})
    if(TARGET kavro_xp_imports)
        target_link_libraries(${target} PRIVATE kavro_xp_imports)
    endif()
endfunction()
