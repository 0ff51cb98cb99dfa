# Checks ferrow-scan's systemd unit as an install ships it: the install of the "ferrow"
# component goes into a folder of its own, beside the host's system units (the targets the
# unit refers to), and systemd-analyze verifies one instance of the template there, with
# that folder as its root. So ExecStart must name the installed ferrow-scan and
# Documentation an installed man page; any directive systemd would ignore fails too, since
# verify reports those on its output but not in its exit status.
#
#   cmake -DBUILD_DIR=<build> -DSTAGE=<folder> -DMANDIR=<installed man folder>
#         -DSYSTEMD_ANALYZE=<systemd-analyze> -P VerifySystemdUnit.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --component ferrow
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installing the ferrow component into ${STAGE} failed")
endif()
file(COPY /lib/systemd/system DESTINATION "${STAGE}/lib/systemd")

# verify asks man(1) for the pages that Documentation= names: the installed ones.
set(ENV{MANPATH} "${STAGE}${MANDIR}")
execute_process(
  COMMAND ${SYSTEMD_ANALYZE} verify --root=${STAGE} ferrow-scan-watch@10.0.0.1.service
  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "systemd-analyze verify (exit status ${status}):\n${output}")
endif()
message(STATUS "ferrow-scan-watch@10.0.0.1.service verifies cleanly")
