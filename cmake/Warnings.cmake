# Warnings are on for every target of ours and kept clean.
function(kesto_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor
                                           -Woverloaded-virtual)
endfunction()
