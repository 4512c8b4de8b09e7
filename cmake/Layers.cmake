# kesto_layer(NAME SOURCES ... DEPS ...): one folder, one library. A layer links only
# the layers below it; which folder may include which is checked by
# tools/includecheck against cmake/layers.txt (the one place the table is kept).
function(kesto_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPS" ${ARGN})
  if(L_SOURCES)
    add_library(${name} STATIC ${L_SOURCES})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
    kesto_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()
