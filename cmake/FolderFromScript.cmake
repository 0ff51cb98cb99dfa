# ferrow_folder_from_script(<cache variable> <script> <what>): unless the cache variable
# already names a folder, runs scripts/<script>, which provides <what> and prints its
# folder, and keeps that folder in the variable.
function(ferrow_folder_from_script variable script what)
  if(NOT "${${variable}}" STREQUAL "")
    return()
  endif()
  message(STATUS "${what}: scripts/${script}")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/${script}
    OUTPUT_VARIABLE folder OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "scripts/${script} could not provide ${what}")
  endif()
  set(${variable} ${folder} CACHE PATH "" FORCE)
endfunction()
