# Warnings are errors on every target of ours; each target opts in with
# ferrow_set_warnings(target) so that third-party code is never affected.
function(ferrow_set_warnings target)
  if(MSVC)
    # /utf-8: the sources are UTF-8, whatever the machine's code page.
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
      -Wimplicit-fallthrough -Wcast-qual -Wformat=2 -Wundef -Werror)
  endif()
endfunction()
