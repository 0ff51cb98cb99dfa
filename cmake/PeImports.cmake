# The DLLs a Windows program or DLL imports, read from its PE import table with the
# target's objdump. Windows matches DLL names without regard to case, so the names come
# back in lower case, and so do the file names they are compared with.

cmake_policy(VERSION 3.25) # also when run as a script, where no project sets it

# ferrow_pe_imports(<objdump> <binary> <out>): the lower-case names of the DLLs that binary
# imports.
function(ferrow_pe_imports objdump binary out)
  execute_process(COMMAND ${objdump} -p ${binary}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${objdump} cannot read ${binary}: ${error}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
  set(names)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    list(APPEND names ${name})
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The DLLs that every Windows system has: what a program may import without shipping it.
set(FERROW_WINDOWS_SYSTEM_DLLS
  advapi32.dll authz.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll d2d1.dll d3d11.dll
  d3d9.dll dwmapi.dll dwrite.dll dxgi.dll gdi32.dll imm32.dll iphlpapi.dll kernel32.dll
  mpr.dll msvcrt.dll netapi32.dll ntdll.dll ole32.dll oleaut32.dll opengl32.dll secur32.dll
  setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll
  version.dll winmm.dll winspool.drv ws2_32.dll wtsapi32.dll)

# ferrow_is_windows_system_dll(<name> <out>): whether the lower-case name is one of them,
# or one of the API sets that Windows resolves itself.
function(ferrow_is_windows_system_dll name out)
  if(name IN_LIST FERROW_WINDOWS_SYSTEM_DLLS OR name MATCHES "^(api|ext)-ms-")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()
