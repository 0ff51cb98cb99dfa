# What an install carries beside the programs, and the Windows ZIP made from it.
#
# On Windows the install tree is the ZIP's content: the programs in bin/ (the window with
# its Qt DLLs, which windeployqt adds in ui/CMakeLists.txt), README.md and LICENSE at the
# root. On Linux the two texts go where the distribution keeps documentation.
include(GNUInstallDirs)

if(WIN32)
  set(ferrow_text_dir .)
else()
  set(ferrow_text_dir ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${ferrow_text_dir})

# Only the Windows build is packaged (a ZIP); Linux installs with cmake --install for now.
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME ferrow)
  set(CPACK_PACKAGE_VENDOR "The Ferrow developers")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
  set(CPACK_PACKAGE_CHECKSUM SHA256)
  # The programs lose their symbols in the ZIP (MinGW); MSVC keeps them in .pdb files anyway.
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
