# What the Debian package holds beyond the programs, and how CPack builds it:
#   cmake --build build && (cd build && cpack -G DEB)
# scripts/package does that and runs the checks a distribution runs.
include(GNUInstallDirs)
set(DAVRENTA_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(DAVRENTA_GUIDE_DEST ${CMAKE_INSTALL_DATADIR}/davrenta/guide)

# Icons at the sizes desktops ask for; the scalable one and 256x256 are installed with the program.
foreach(size 16 22 24 32 48 64 128 512)
  install(FILES ${DAVRENTA_PACKAGING}/icons/${size}x${size}/davrenta.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${DAVRENTA_PACKAGING}/invalid.davrenta.Davrenta.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The problem files' types; the shared-mime-info package's trigger updates the database.
install(FILES ${DAVRENTA_PACKAGING}/davrenta-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME davrenta.xml)

# Manual pages and the changelog go in compressed, without a time stamp, so that a rebuild
# gives the same package.
find_program(DAVRENTA_GZIP gzip REQUIRED)
set(DAVRENTA_COMPRESSED)
foreach(doc davrenta.1 davrenta-batch.1 changelog)
  set(out ${CMAKE_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${DAVRENTA_GZIP} -9 -n -c ${DAVRENTA_PACKAGING}/${doc} > ${out}
    DEPENDS ${DAVRENTA_PACKAGING}/${doc}
    VERBATIM)
  list(APPEND DAVRENTA_COMPRESSED ${out})
endforeach()
add_custom_target(davrenta_docs ALL DEPENDS ${DAVRENTA_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/davrenta.1.gz
              ${CMAKE_BINARY_DIR}/packaging/davrenta-batch.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${DAVRENTA_PACKAGING}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/davrenta)

# The user guide: the Markdown and its pictures (the 200 % set stays in the source tree, for
# those who keep the windows readable), and an HTML page for the browser when python3-markdown
# is there to make it. The build tree holds the same folder under share/davrenta/guide, so
# that the program shows the guide with its pictures before it is installed.
set(DAVRENTA_BUILD_GUIDE_DIR ${CMAKE_BINARY_DIR}/share/davrenta/guide)
file(GLOB DAVRENTA_GUIDE_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
set(DAVRENTA_GUIDE_STAMP ${CMAKE_BINARY_DIR}/packaging/guide.stamp)
add_custom_command(OUTPUT ${DAVRENTA_GUIDE_STAMP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DAVRENTA_BUILD_GUIDE_DIR}/images
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/docs/guide.md
          ${DAVRENTA_BUILD_GUIDE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${DAVRENTA_GUIDE_IMAGES}
          ${DAVRENTA_BUILD_GUIDE_DIR}/images
  COMMAND ${CMAKE_COMMAND} -E touch ${DAVRENTA_GUIDE_STAMP}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide.md ${DAVRENTA_GUIDE_IMAGES}
  VERBATIM)
set(DAVRENTA_GUIDE_OUTPUTS ${DAVRENTA_GUIDE_STAMP})
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md DESTINATION ${DAVRENTA_GUIDE_DEST})
install(FILES ${DAVRENTA_GUIDE_IMAGES} DESTINATION ${DAVRENTA_GUIDE_DEST}/images)
# The system's python3 first: a python3 of one's own earlier on the PATH may lack the module.
find_program(DAVRENTA_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_package(Python3 COMPONENTS Interpreter)
set(DAVRENTA_MARKDOWN_PYTHON "")
foreach(python ${DAVRENTA_SYSTEM_PYTHON} ${Python3_EXECUTABLE})
  execute_process(COMMAND ${python} -c "import markdown"
                  RESULT_VARIABLE no_markdown OUTPUT_QUIET ERROR_QUIET)
  if(no_markdown EQUAL 0)
    set(DAVRENTA_MARKDOWN_PYTHON ${python})
    break()
  endif()
endforeach()
if(DAVRENTA_MARKDOWN_PYTHON)
  set(html ${DAVRENTA_BUILD_GUIDE_DIR}/guide.html)
  add_custom_command(OUTPUT ${html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DAVRENTA_BUILD_GUIDE_DIR}
    COMMAND ${DAVRENTA_MARKDOWN_PYTHON} ${DAVRENTA_PACKAGING}/guide-html
            ${PROJECT_SOURCE_DIR}/docs/guide.md ${html}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide.md ${DAVRENTA_PACKAGING}/guide-html
    VERBATIM)
  list(APPEND DAVRENTA_GUIDE_OUTPUTS ${html})
  install(FILES ${html} DESTINATION ${DAVRENTA_GUIDE_DEST})
else()
  message(STATUS "python3-markdown not found: the guide is installed as Markdown only")
endif()
add_custom_target(davrenta_guide ALL DEPENDS ${DAVRENTA_GUIDE_OUTPUTS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME davrenta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Davrenta developers")
set(CPACK_PACKAGE_CONTACT "The Davrenta developers <davrenta@davrenta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop tool for facilities planning")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The offscreen and xcb platform plugins are loaded at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Reports line up in the metric twins of Courier New and Times New Roman.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# CPack puts the summary first and indents the rest as the control file wants.
set(CPACK_PACKAGE_DESCRIPTION "Davrenta decides where new points of distribution go on a population map so
that people reach them, and shows and prints the service areas, the
population each one serves and the near-optimal locations. Four smaller
studies come with it: one new facility located by demand, the matching of
facilities to sites, the material-handling activity of a department layout,
and a simulation of a multi-server service point.

davrenta-batch runs the same studies on problem files from a script and
prints text or JSON.")
include(CPack)
