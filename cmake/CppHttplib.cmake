# cpp-httplib as Debian's libcpp-httplib-dev ships it: a header that declares, and a shared
# library (built with OpenSSL, zlib and Brotli) that defines. Its pkg-config file carries the
# defines that make the header's classes match the library's; hence pkg-config, never the
# bare header. Gives the global target CppHttplib::CppHttplib.
if(NOT TARGET CppHttplib::CppHttplib)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CppHttplib REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
  add_library(CppHttplib::CppHttplib ALIAS PkgConfig::CppHttplib)
endif()
