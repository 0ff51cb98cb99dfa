# What an install carries beside the programs, and the packages made from it.
#
# On Windows the install tree is the content of the ZIP and of the installer: the programs
# in bin/ (the window with the Qt and runtime DLLs that ui/CMakeLists.txt adds), README.md
# and LICENSE at the root.
#
# On Linux the install is split in two components, each a Debian package (scripts/package):
# "ferrow" (the window, ferrow-scan, the desktop integration) and "recorder"
# (ferrow-recorder, in a package of its own: it answers every probe it hears, which a
# user's machine should not do unless someone chose it). Each carries its man pages, a
# copyright file and a changelog where Debian keeps them.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME ferrow)
set(CPACK_PACKAGE_VENDOR "The Ferrow developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Values reach CPack as they are written here, backslashes and all.
set(CPACK_VERBATIM_VARIABLES ON)
# The programs lose their symbols in the packages (MSVC keeps them in .pdb files anyway).
set(CPACK_STRIP_FILES ON)

# The sources as released: what git tracks, less the build trees.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ferrow-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/\\.cache/" "~$")

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .
    COMPONENT ferrow)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
  # The installer, where NSIS can make a 64-bit one: per machine under Program Files, a
  # Start Menu shortcut "Ferrow", an uninstaller. The simulated recorder is a component of
  # its own, left out unless chosen, since it answers every probe it hears. A 64-bit
  # installer needs NSIS's amd64 stubs: Debian's nsis has them, the NSIS download for
  # Windows only the x86 ones, and there the ZIP is the package.
  find_program(FERROW_MAKENSIS makensis)
  set(nsis_amd64_stubs FALSE)
  if(FERROW_MAKENSIS)
    cmake_path(GET FERROW_MAKENSIS PARENT_PATH nsis_bin)
    foreach(stubs /usr/share/nsis/Stubs ${nsis_bin}/Stubs ${nsis_bin}/../Stubs)
      if(EXISTS ${stubs}/lzma-amd64-unicode)
        set(nsis_amd64_stubs TRUE)
      endif()
    endforeach()
  endif()
  if(nsis_amd64_stubs)
    list(APPEND CPACK_GENERATOR NSIS)
    set(CPACK_COMPONENTS_ALL ferrow recorder)
    set(CPACK_COMPONENT_FERROW_DISPLAY_NAME "Ferrow")
    set(CPACK_COMPONENT_FERROW_REQUIRED ON)
    set(CPACK_COMPONENT_RECORDER_DISPLAY_NAME "Simulated recorder (ferrow-recorder)")
    set(CPACK_COMPONENT_RECORDER_DESCRIPTION
      "A simulated network video recorder for tests and demonstrations; it answers every discovery probe it hears.")
    set(CPACK_COMPONENT_RECORDER_DISABLED ON)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Ferrow)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Ferrow)
    set(CPACK_NSIS_PACKAGE_NAME Ferrow)
    set(CPACK_NSIS_DISPLAY_NAME Ferrow)
    # A 64-bit installer for a 64-bit program: it sees the system's own Program Files and
    # registry, and runs where no 32-bit subsystem is installed. CPack's script has no
    # place of its own for the target, and its compressor line comes before any code.
    set(CPACK_NSIS_COMPRESSOR "lzma\n  Target amd64-unicode")
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
    set(CPACK_PACKAGE_EXECUTABLES ferrow Ferrow)
    set(CPACK_NSIS_INSTALLED_ICON_NAME "${CMAKE_INSTALL_BINDIR}\\ferrow.exe")
    set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/icons/ferrow.ico)
    set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/icons/ferrow.ico)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # CPack's uninstaller removes the product's key under the vendor's but leaves the
    # vendor's own key, empty; its last hook removes that too.
    set(CPACK_NSIS_DELETE_ICONS_EXTRA
      "DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
    set(CPACK_NSIS_URL_INFO_ABOUT https://ferrow.org/)
  endif()
  include(CPack)
  return()
endif()

# ferrow_install_package_texts(<component> <package> <man pages>...): the man pages and
# the texts Debian wants of every package, compressed as Debian compresses them.
function(ferrow_install_package_texts component package)
  set(texts_dir ${CMAKE_BINARY_DIR}/package-texts/${package})
  set(outputs)
  foreach(page ${ARGN})
    set(output ${texts_dir}/man/${page}.gz)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${texts_dir}/man
      COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/man/${page} > ${output}
      DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page} VERBATIM)
    install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
    list(APPEND outputs ${output})
  endforeach()
  set(changelog ${texts_dir}/changelog.Debian.gz)
  add_custom_command(OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${texts_dir}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/res/debian/changelog > ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/res/debian/changelog VERBATIM)
  add_custom_target(ferrow_texts_${component} ALL DEPENDS ${outputs} ${changelog})
  install(FILES ${changelog} ${PROJECT_SOURCE_DIR}/res/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

set(ferrow_pages)
if(FERROW_BUILD_UI)
  list(APPEND ferrow_pages ferrow.1)
endif()
if(FERROW_BUILD_TOOLS)
  list(APPEND ferrow_pages ferrow-scan.1)
  ferrow_install_package_texts(recorder ferrow-recorder ferrow-recorder.1)
endif()
ferrow_install_package_texts(ferrow ferrow ${ferrow_pages})
install(FILES ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ferrow COMPONENT ferrow)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ferrow recorder)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Ferrow developers <maintainers@ferrow.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ferrow.org/)
# Dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FERROW_PACKAGE_NAME ferrow)
set(CPACK_DEBIAN_RECORDER_PACKAGE_NAME ferrow-recorder)
set(CPACK_DEBIAN_RECORDER_PACKAGE_SECTION net)
# Each description: the synopsis, then the paragraphs (CPack indents them for Debian). No
# summary of the whole, which CPack would put before each package's own synopsis.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_COMPONENT_FERROW_DESCRIPTION
  "find the network video recorders on the local network
Ferrow shows the computer's network adapters and their IPv4 addresses. Pick
an address and it broadcasts one discovery probe from it; every recorder that
answers is listed with its maker, model, IP address, MAC address and HTTP
port, and a double-click opens its web page.

The package holds the desktop program ferrow, and ferrow-scan, the same
search from a terminal for scripts and headless machines.")
set(CPACK_COMPONENT_RECORDER_DESCRIPTION
  "simulated network video recorder for testing Ferrow
ferrow-recorder plays one or many recorders that answer Ferrow's discovery
probe on UDP port 2900, with deliberate faults on request. It is meant for
tests and demonstrations on networks of one's own, such as network
namespaces.")
include(CPack)
