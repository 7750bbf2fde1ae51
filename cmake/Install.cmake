# Where `cmake --install` puts each file (the FHS and XDG places), and the Debian package
# CPack makes of them. The program finds its help and tutorial as ../share/ferrowyn from
# its executable. Test, benchmark and screenshot programs are never installed.
include(GNUInstallDirs)

set(pkg ${FERROWYN_ROOT}/packaging)
set(share_dir ${CMAKE_INSTALL_DATADIR}/ferrowyn)
set(app_id com.castrel.Ferrowyn)

install(TARGETS ferrowyn-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# ferrowyn-cli hands every command but the readers to this one (cli/CMakeLists.txt).
install(TARGETS ferrowyn-cli-full RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR})
if(NOT WIN32)
  install(TARGETS adpurge RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Manual pages carry the version; they are rendered by man itself and installed compressed,
# as Debian's policy asks (gzip -9n: no name or time stamp, so the same page gives the same
# bytes).
set(man_pages ferrowyn-cli adpurge)
if(FERROWYN_GUI)
  list(APPEND man_pages ferrowyn)
endif()
set(compressed_man_pages)
foreach(page ${man_pages})
  set(man_page ${CMAKE_BINARY_DIR}/man/${page}.1)
  configure_file(${pkg}/${page}.1 ${man_page} @ONLY)
  add_custom_command(OUTPUT ${man_page}.gz
                     COMMAND gzip -9n -c ${man_page} > ${man_page}.gz
                     DEPENDS ${man_page} VERBATIM)
  list(APPEND compressed_man_pages ${man_page}.gz)
  install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(ferrowyn_man_pages ALL DEPENDS ${compressed_man_pages})

install(FILES ${pkg}/ferrowyn-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME ferrowyn-cli)

if(FERROWYN_GUI)
  install(TARGETS ferrowyn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${FERROWYN_ROOT}/help/ DESTINATION ${share_dir}/help
          FILES_MATCHING PATTERN "*.htm")
  # The tutorial pages and their pictures, when the tree has them.
  if(EXISTS ${FERROWYN_ROOT}/tutorial)
    install(DIRECTORY ${FERROWYN_ROOT}/tutorial/ DESTINATION ${share_dir}/tutorial
            FILES_MATCHING PATTERN "*.htm" PATTERN "*.png")
  else()
    # An installed copy is told apart by share/ferrowyn, so that folder always exists.
    install(DIRECTORY DESTINATION ${share_dir})
  endif()

  install(FILES ${pkg}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${pkg}/${app_id}.metainfo.xml ${CMAKE_BINARY_DIR}/${app_id}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${app_id}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${pkg}/ferrowyn-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ferrowyn.xml)

  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  foreach(type site query)
    install(FILES ${pkg}/application-x-ferrowyn-${type}.svg
            DESTINATION ${icons}/scalable/mimetypes)
  endforeach()
  # The program's icon: the SVG, and PNG sizes rendered from it at build time for desktops
  # that do not draw SVG icons.
  set(icon_svg ${FERROWYN_ROOT}/gui/pictures/ferrowyn-icon.svg)
  if(EXISTS ${icon_svg})
    install(FILES ${icon_svg} DESTINATION ${icons}/scalable/apps RENAME ${app_id}.svg)
    find_program(RSVG_CONVERT rsvg-convert)
    if(RSVG_CONVERT)
      set(pngs)
      foreach(size 16 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}/${app_id}.png)
        add_custom_command(OUTPUT ${png}
          COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
          COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
          DEPENDS ${icon_svg} VERBATIM)
        list(APPEND pngs ${png})
        install(FILES ${png} DESTINATION ${icons}/${size}x${size}/apps)
      endforeach()
      add_custom_target(ferrowyn_icons ALL DEPENDS ${pngs})
    else()
      message(WARNING "rsvg-convert not found: only the SVG icon is installed")
    endif()
  endif()
endif()

# The Debian package: scripts/package.sh runs cpack in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowyn)
set(CPACK_PACKAGE_VENDOR Castrel)
set(CPACK_PACKAGE_CONTACT "Castrel <ferrowyn@castrel.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search one web site for keywords")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
set(CPACK_STRIP_FILES ON)
include(CPack)

add_test(NAME cli_manual_lists_every_command
         COMMAND bash ${FERROWYN_ROOT}/scripts/check-manual-commands.sh
                 $<TARGET_FILE:ferrowyn-cli> ${pkg}/ferrowyn-cli.1)
