# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it
# (scripts/package). The tests, benchmarks and the screenshot tool have no install rules.
include(GNUInstallDirs)

# One reverse-DNS id names the desktop entry, the metainfo and the icon.
set(SGX_APP_ID example.vorna_signal.sgxcontrol)
set(SGX_DEB_NAME sgxcontrol)
set(SGX_MAINTAINER "SGX-100 Control developers <sgxcontrol@vorna-signal.example>")
set(packaging_dir ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(sgxcontrol PRIVATE SGX_APP_ID="${SGX_APP_ID}")

# The changelog's latest entry is the version the package claims.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${SGX_DEB_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${changelog_head}', not version ${PROJECT_VERSION}")
endif()

install(TARGETS sgxcontrol sgxctl sgx100-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging_dir}/${SGX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${SGX_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${SGX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_dir}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${SGX_DEB_NAME})
# bash-completion loads it when sgxctl's arguments are first completed.
install(FILES ${packaging_dir}/sgxctl.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME sgxctl)

# Manual pages and the changelog are installed gzipped at maximum compression and without a
# time stamp, as Debian keeps them.
set(gzipped)
foreach(name sgxcontrol.1 sgxctl.1 sgx100-sim.1 changelog)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging_dir}/${name} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${packaging_dir}/${name}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND gzipped ${copy}.gz)
endforeach()
add_custom_target(sgx_packaging_files ALL DEPENDS ${gzipped})
list(FILTER gzipped EXCLUDE REGEX "/changelog\\.gz$")
install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${SGX_DEB_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SGX_DEB_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SGX_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SGX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every window names Arial or Times New Roman at fixed sizes and places; fonts-liberation2 has their
# metrics. The menus and the status bar are in the desktop's font, which fontconfig resolves to
# DejaVu Sans: without it, on a system with only the Liberation faces, the desktop font came out as
# Liberation Mono and the status panel's text was cut.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "control program for the SGX-100 video test-signal generator
sgxcontrol runs the SGX-100 video test-signal generator from the desktop over
one RS-232 port: it outputs the generator's timings and patterns, uploads the
selections it cycles through and auto-run programs, restores its default
settings, and reads, uploads and writes its EDID.

The package also holds sgxctl, which sends the same commands from a shell, and
sgx100-sim, an emulated generator on a pseudo-terminal for trying both without
the hardware.")
include(CPack)
