# cpp-httplib, as the global target CppHttplib::CppHttplib.
#
# Debian's libcpp-httplib-dev ships a header that declares and a shared library (built with
# OpenSSL, zlib and Brotli) that defines. Its pkg-config file carries the defines that make
# the header's classes match the library's; hence pkg-config, never the bare header.
#
# Debian has no Windows build of that library: a MinGW-w64 cross build compiles instead the
# header-only httplib.h of Debian's source of the same version, which scripts/httplib-mingw
# provides (a folder given as FERROW_HTTPLIB_MINGW_DIR is taken as it is).
if(TARGET CppHttplib::CppHttplib)
  return()
endif()
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(FERROW_HTTPLIB_MINGW_DIR "" CACHE PATH
    "the folder of the header-only httplib.h (empty: what scripts/httplib-mingw gives)")
  include(${PROJECT_SOURCE_DIR}/cmake/FolderFromScript.cmake)
  ferrow_folder_from_script(FERROW_HTTPLIB_MINGW_DIR httplib-mingw "cpp-httplib's header")
  add_library(CppHttplib::CppHttplib INTERFACE IMPORTED GLOBAL)
  set_target_properties(CppHttplib::CppHttplib PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${FERROW_HTTPLIB_MINGW_DIR}
    INTERFACE_LINK_LIBRARIES ws2_32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CppHttplib REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
  add_library(CppHttplib::CppHttplib ALIAS PkgConfig::CppHttplib)
endif()
