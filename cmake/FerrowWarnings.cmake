# Every target of ours opts in with ferrow_set_warnings(target), so that third-party code
# is never affected. Warnings become errors only where we choose (the presets and CI): a
# new compiler's new warning must not break someone else's build of a release.
option(FERROW_WARNINGS_AS_ERRORS "Treat compiler warnings in Ferrow's own code as errors" OFF)

function(ferrow_set_warnings target)
  if(MSVC)
    # /utf-8: the sources are UTF-8, whatever the machine's code page.
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8
      $<$<BOOL:${FERROW_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
      -Wimplicit-fallthrough -Wcast-qual -Wformat=2 -Wundef
      $<$<BOOL:${FERROW_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
endfunction()
