# Installs the plug-ins, the two programs, their manual pages, the desktop entry, the icon and the
# bash completion into the system's folders, and describes the Debian package CPack makes of them
# (scripts/package.sh). Paths are relative to the prefix, /usr in the package.
#
# Lintian (scripts/check-package.sh) finds no error; the warnings left, and why they stay:
# - maintscript-calls-ldconfig [postinst], [postrm]: CPack writes both scripts with an ldconfig
#   call whenever a shared object lies one folder below /usr/lib, as the VST 2.4 plug-in does in
#   /usr/lib/vst. Plug-ins are not in the linker's path, so the call does nothing but cost a
#   moment; replacing the scripts by hand-written ones would only trade it for lintian's warning
#   about empty maintainer scripts.
#
# "cmake --install" does not build first (CPack's install would otherwise build every target,
# the tests included): build the targets, or run scripts/package.sh, before installing.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(RAVLIN_PACKAGE_NAME prophet12-ravlin)
set(RAVLIN_PACKAGING_SOURCE "${CMAKE_CURRENT_LIST_DIR}/packaging")
set(RAVLIN_PACKAGING_BINARY "${CMAKE_BINARY_DIR}/packaging")
set(RAVLIN_PRODUCT "Prophet 12 Ravlin")

# Made by the build: the icon, the manual pages and the changelog compressed as Debian wants them.
configure_file("${RAVLIN_PACKAGING_SOURCE}/changelog.in" "${RAVLIN_PACKAGING_BINARY}/changelog" @ONLY)
set(RAVLIN_PACKAGING_FILES "${RAVLIN_PACKAGING_BINARY}/${RAVLIN_PACKAGE_NAME}.svg")
add_custom_command(
    OUTPUT "${RAVLIN_PACKAGING_BINARY}/${RAVLIN_PACKAGE_NAME}.svg"
    COMMAND "${CMAKE_COMMAND}" "-DOUT=${RAVLIN_PACKAGING_BINARY}/${RAVLIN_PACKAGE_NAME}.svg"
            -P "${RAVLIN_PACKAGING_SOURCE}/DrawIcon.cmake"
    DEPENDS "${RAVLIN_PACKAGING_SOURCE}/DrawIcon.cmake"
    COMMENT "Drawing the application's icon"
    VERBATIM)
foreach(source "${CMAKE_SOURCE_DIR}/docs/man/ravlin-cli.1" "${CMAKE_SOURCE_DIR}/docs/man/${RAVLIN_PACKAGE_NAME}.1"
               "${RAVLIN_PACKAGING_BINARY}/changelog")
    get_filename_component(name "${source}" NAME)
    # -n leaves the file's name and time out of the archive, so that the same input gives the same bytes.
    add_custom_command(
        OUTPUT "${RAVLIN_PACKAGING_BINARY}/${name}.gz"
        COMMAND gzip -9 -n -c "${source}" > "${RAVLIN_PACKAGING_BINARY}/${name}.gz"
        DEPENDS "${source}"
        VERBATIM)
    list(APPEND RAVLIN_PACKAGING_FILES "${RAVLIN_PACKAGING_BINARY}/${name}.gz")
endforeach()
add_custom_target(ravlin_packaging_files ALL DEPENDS ${RAVLIN_PACKAGING_FILES})

# The plug-ins. Shared objects are not programs: no execute bit on them.
set(RAVLIN_ARTEFACTS "$<TARGET_FILE_DIR:Ravlin>")
install(FILES "$<TARGET_FILE:Ravlin_VST>" DESTINATION lib/vst)
if(TARGET Ravlin_VST3)
    install(DIRECTORY "${RAVLIN_ARTEFACTS}/VST3/${RAVLIN_PRODUCT}.vst3" DESTINATION lib/vst3)
endif()
if(TARGET Ravlin_LV2)
    install(DIRECTORY "${RAVLIN_ARTEFACTS}/LV2/${RAVLIN_PRODUCT}.lv2" DESTINATION lib/lv2)
endif()

# The programs.
install(PROGRAMS "$<TARGET_FILE:ravlin-cli>" DESTINATION bin)
if(TARGET Ravlin_Standalone)
    install(PROGRAMS "$<TARGET_FILE:Ravlin_Standalone>" DESTINATION bin RENAME ${RAVLIN_PACKAGE_NAME})
    install(FILES "${RAVLIN_PACKAGING_SOURCE}/${RAVLIN_PACKAGE_NAME}.desktop" DESTINATION share/applications)
    install(FILES "${RAVLIN_PACKAGING_BINARY}/${RAVLIN_PACKAGE_NAME}.svg" DESTINATION share/icons/hicolor/scalable/apps)
    install(FILES "${RAVLIN_PACKAGING_BINARY}/${RAVLIN_PACKAGE_NAME}.1.gz" DESTINATION share/man/man1)
endif()
install(FILES "${RAVLIN_PACKAGING_BINARY}/ravlin-cli.1.gz" DESTINATION share/man/man1)
install(FILES "${CMAKE_SOURCE_DIR}/tools/ravlin-cli/completion/ravlin-cli.bash"
        DESTINATION share/bash-completion/completions RENAME ravlin-cli)
install(FILES "${RAVLIN_PACKAGING_SOURCE}/copyright" "${RAVLIN_PACKAGING_BINARY}/changelog.gz"
        DESTINATION share/doc/${RAVLIN_PACKAGE_NAME})

# Every ELF file the package holds, stripped of its symbols as Debian's packages are (cmake
# --install --strip and CPack strip only what install(TARGETS) installs, and these are bundles).
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        file(GLOB_RECURSE candidates "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/*"
             "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/*.so")
        foreach(file IN LISTS candidates)
            execute_process(COMMAND strip --strip-unneeded --remove-section=.comment
                                    --remove-section=.note "${file}"
                            RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "strip failed on ${file}")
            endif()
        endforeach()
    endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RAVLIN_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Prophet 12 Ravlin developers <maintainers@ravlin.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and librarian for the DSI Prophet 12 synthesizer")
# The long description: lines under 80 characters, as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Prophet 12 Ravlin shows the program of a DSI Prophet 12 (keyboard or module)
on screen, knob for knob, and keeps the two in step over MIDI: NRPN for
every parameter, SysEx for programs and banks. It receives and sends whole
banks, keeps a library of programs filed by category and gives a host 624
automation parameters and a bank of 99 presets saved with the project. It
makes no sound of its own.

It comes as VST 2.4, VST3 and LV2 plug-ins, as the standalone editor
prophet12-ravlin and as ravlin-cli, a command-line tool that lists,
converts, receives and sends programs and banks.")
include(CPack)
