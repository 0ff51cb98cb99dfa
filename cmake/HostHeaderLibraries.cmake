# A cross build takes Debian's header-only libraries (CLI11, nlohmann-json) from the build
# machine. Their own package files would put /usr/include on the include path, where the
# build machine's C library headers would hide the target's; so each library's folder is
# linked into a folder of its own, and find_package finds a small package file for it.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
set(host_packages ${CMAKE_BINARY_DIR}/host-packages)

function(ferrow_host_header_library package target folder)
  if(NOT IS_DIRECTORY /usr/include/${folder})
    message(FATAL_ERROR "${package}: /usr/include/${folder} is missing (scripts/install-deps)")
  endif()
  file(MAKE_DIRECTORY ${host_headers}/${package})
  file(CREATE_LINK /usr/include/${folder} ${host_headers}/${package}/${folder} SYMBOLIC)
  file(WRITE ${host_packages}/${package}/${package}Config.cmake
    "if(NOT TARGET ${target})\n"
    "  add_library(${target} INTERFACE IMPORTED GLOBAL)\n"
    "  set_target_properties(${target} PROPERTIES\n"
    "    INTERFACE_INCLUDE_DIRECTORIES ${host_headers}/${package})\n"
    "endif()\n")
  set(${package}_DIR ${host_packages}/${package} CACHE PATH "" FORCE)
endfunction()

ferrow_host_header_library(CLI11 CLI11::CLI11 CLI)
ferrow_host_header_library(nlohmann_json nlohmann_json::nlohmann_json nlohmann)
