# The Windows program as its users get it, made by the target `windows_package`: a folder holding
# QL-KORVANE-V1.exe with every DLL and Qt plugin it loads (build/windows/QL-KORVANE-V1), a zip of
# that folder, and an installer made with NSIS (QL-KORVANE-V1-setup.exe).
set(KORVANE_WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/QL-KORVANE-V1)
set(KORVANE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/QL-KORVANE-V1-windows.zip)
set(KORVANE_WINDOWS_INSTALLER ${CMAKE_BINARY_DIR}/QL-KORVANE-V1-setup.exe)

# The plugins Qt loads at start: the Windows platform and the native widget style.
set(platform_plugin $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>)
set(style_plugin $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>)
install(FILES ${platform_plugin} DESTINATION platforms)
install(FILES ${style_plugin} DESTINATION styles)

# The DLLs the program and the plugins load, from Qt's and the compiler's folders.
set(dll_folders $<TARGET_FILE_DIR:Qt6::Core>)
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime} OUTPUT_VARIABLE runtime_path
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(runtime_folder ${runtime_path} DIRECTORY)
    list(APPEND dll_folders ${runtime_folder})
endforeach()
install(CODE "
    set(FOLDER \"\${CMAKE_INSTALL_PREFIX}\")
    set(SEARCH \"${dll_folders}\")
    set(OBJDUMP \"${CMAKE_OBJDUMP}\")
    set(STRIP \"${CMAKE_STRIP}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/windows-runtime-dlls.cmake\")
")

find_program(KORVANE_MAKENSIS makensis) # Debian's package nsis
add_custom_target(windows_package
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVANE_WINDOWS_FOLDER} ${KORVANE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${KORVANE_WINDOWS_FOLDER} --strip
    COMMAND ${CMAKE_COMMAND} -E tar cf ${KORVANE_WINDOWS_ZIP} --format=zip QL-KORVANE-V1
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${KORVANE_WINDOWS_FOLDER} -DLISTS=${CMAKE_BINARY_DIR}/installer
            -P ${PROJECT_SOURCE_DIR}/cmake/windows-installer-files.cmake
    COMMAND ${KORVANE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DLISTS=${CMAKE_BINARY_DIR}/installer
            -DICON=${PROJECT_SOURCE_DIR}/app/resources/QL-KORVANE-V1.ico -DOUTFILE=${KORVANE_WINDOWS_INSTALLER}
            ${PROJECT_SOURCE_DIR}/cmake/windows-installer.nsi
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS QL-KORVANE-V1
    BYPRODUCTS ${KORVANE_WINDOWS_ZIP} ${KORVANE_WINDOWS_INSTALLER}
    COMMENT "The Windows program's folder, zip and installer"
    VERBATIM)
# Where they are, for the test: $<TARGET_PROPERTY:windows_package,KORVANE_FOLDER> and so on.
set_target_properties(windows_package PROPERTIES KORVANE_FOLDER ${KORVANE_WINDOWS_FOLDER}
                                                 KORVANE_INSTALLER ${KORVANE_WINDOWS_INSTALLER})
