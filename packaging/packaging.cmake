# Installation and packages: on Linux the three programs, a desktop entry and
# an icon, packed by CPack as a Debian package; on Windows a zip holding the
# intro and the README, made by every build.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "quillon")
set(CPACK_PACKAGE_CONTACT "quillon maintainers <quillon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual intro with its own module player")
set(CPACK_PACKAGE_DESCRIPTION
    "A full-screen OpenGL intro: a hairy torus, a sky box and a fish-eye scroller drawn in step with an embedded tracker song. Also ships xm2wav, which renders extended modules to WAV, quillon-play, which plays them on the sound device, and quillon-capture, which renders the intro to PNG frames and WAV or to MP4.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)

if(WIN32)
  install(TARGETS quillon quillon-play RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

  # The zip is part of the build, next to the executable.
  set(QUILLON_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/quillon-${PROJECT_VERSION}-win64.zip)
  set(zip_stage ${CMAKE_BINARY_DIR}/zip-stage)
  add_custom_command(OUTPUT ${QUILLON_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillon> $<TARGET_FILE:quillon-play> ${PROJECT_SOURCE_DIR}/README.md
            ${zip_stage}
    COMMAND ${CMAKE_COMMAND} -E chdir ${zip_stage} ${CMAKE_COMMAND} -E tar cf ${QUILLON_WINDOWS_ZIP} --format=zip
            quillon.exe quillon-play.exe README.md
    DEPENDS quillon quillon-play ${PROJECT_SOURCE_DIR}/README.md
    COMMENT "Packing quillon.exe, quillon-play.exe and the README into a zip")
  add_custom_target(windows_zip ALL DEPENDS ${QUILLON_WINDOWS_ZIP})
elseif(NOT QUILLON_MUSIC_ONLY)
  install(TARGETS quillon xm2wav quillon-play quillon-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillon.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillon.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_STRIP_FILES ON)
  # The libraries the programs link against, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg")
endif()

include(CPack)
