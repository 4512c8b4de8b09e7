# Warnings are on for every target of ours and kept clean; KESTO_WERROR makes them errors.
function(kesto_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor
                                           -Woverloaded-virtual
                                           $<$<BOOL:${KESTO_WERROR}>:-Werror>)
endfunction()
