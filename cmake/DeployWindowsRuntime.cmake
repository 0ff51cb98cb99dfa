# Install-time script of a cross build: puts beside the installed window what a Windows
# machine with nothing else installed lacks. That is Qt's platform and style plugins, and
# every DLL that the program and those plugins import, directly or through each other,
# that is no Windows system DLL: Qt's own and the MinGW-w64 runtime, taken from
# FERROW_DLL_DIRS. ui/CMakeLists.txt sets the variables:
#   FERROW_PROGRAM      the installed program, relative to the install prefix
#   FERROW_PLUGIN_DIR   Qt's plugins folder
#   FERROW_PLUGINS      plugins to copy, relative to it ("platforms/qwindows.dll")
#   FERROW_DLL_DIRS     folders to take DLLs from
#   FERROW_OBJDUMP      the target's objdump, which reads the PE imports
#   FERROW_STRIP        the target's strip, for an install that strips (CPack's)
cmake_policy(VERSION 3.25) # also when run as a script, where no project sets it

include(${CMAKE_CURRENT_LIST_DIR}/PeImports.cmake)

# Copies a DLL into folder, stripped when the install strips (CPack's does).
function(ferrow_deploy_dll dll folder)
  file(INSTALL "${dll}" DESTINATION "${folder}")
  if(CMAKE_INSTALL_DO_STRIP)
    cmake_path(GET dll FILENAME name)
    execute_process(COMMAND ${FERROW_STRIP} --strip-unneeded "${folder}/${name}"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()

set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
cmake_path(GET FERROW_PROGRAM PARENT_PATH program_dir)
set(program_dir "${root}/${program_dir}")

# Where each DLL that may be shipped lies, by its lower-case name.
foreach(folder IN LISTS FERROW_DLL_DIRS)
  file(GLOB dlls "${folder}/*.dll")
  foreach(dll IN LISTS dlls)
    cmake_path(GET dll FILENAME name)
    string(TOLOWER "${name}" name)
    if(NOT DEFINED "shipped_${name}")
      set("shipped_${name}" "${dll}")
    endif()
  endforeach()
endforeach()

set(pending "${root}/${FERROW_PROGRAM}")
foreach(plugin IN LISTS FERROW_PLUGINS)
  cmake_path(GET plugin PARENT_PATH kind)
  ferrow_deploy_dll("${FERROW_PLUGIN_DIR}/${plugin}" "${program_dir}/${kind}")
  list(APPEND pending "${program_dir}/${plugin}")
endforeach()

# Breadth first through the imports; each DLL is copied, then read, once.
set(seen)
while(pending)
  list(POP_FRONT pending binary)
  ferrow_pe_imports(${FERROW_OBJDUMP} "${binary}" imports)
  foreach(name IN LISTS imports)
    ferrow_is_windows_system_dll(${name} system)
    if(system OR name IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${name})
    if(NOT DEFINED "shipped_${name}")
      message(FATAL_ERROR "${binary} imports ${name}, which is neither a Windows system DLL "
                          "nor in ${FERROW_DLL_DIRS}")
    endif()
    ferrow_deploy_dll("${shipped_${name}}" "${program_dir}")
    cmake_path(GET shipped_${name} FILENAME file_name)
    list(APPEND pending "${program_dir}/${file_name}")
  endforeach()
endwhile()
