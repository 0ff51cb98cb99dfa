# Qt 6 for a MinGW-w64 cross build of the window. Debian packages no Qt for Windows, so
# scripts/qt-mingw provides one (unpacked from the prebuilt archive, or built from Debian's
# source) and prints its folder; a folder given as FERROW_QT_MINGW_DIR is taken as it is.
# Qt's build tools (moc, rcc, uic) are the build machine's own, of the same version.
set(FERROW_QT_MINGW_DIR "" CACHE PATH "Qt 6 for MinGW-w64 (empty: what scripts/qt-mingw gives)")
include(${PROJECT_SOURCE_DIR}/cmake/FolderFromScript.cmake)
ferrow_folder_from_script(FERROW_QT_MINGW_DIR qt-mingw "Qt for MinGW-w64")

# The toolchain finds packages only under its find roots.
list(APPEND CMAKE_FIND_ROOT_PATH ${FERROW_QT_MINGW_DIR})
list(APPEND CMAKE_PREFIX_PATH ${FERROW_QT_MINGW_DIR})
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# Where the DLLs that Qt's own DLLs import are found: Qt's folder, and the cross
# compiler's runtime (libstdc++, libgcc, winpthread). The tests load them from there under
# Wine; an install copies what the window needs (ui/CMakeLists.txt).
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE compiler_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
cmake_path(GET compiler_runtime PARENT_PATH compiler_runtime_dir)
set(FERROW_WINDOWS_DLL_DIRS ${FERROW_QT_MINGW_DIR}/bin ${compiler_runtime_dir}
  /usr/x86_64-w64-mingw32/lib)
