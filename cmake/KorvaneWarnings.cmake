# Warnings for the project's own targets; the build is kept free of them.
function(korvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
