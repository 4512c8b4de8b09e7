# Fails when FILE needs a Qt WebEngine library: the tray process stays small because the
# web engine lives only in the window process. Reads the dynamic section's NEEDED list.
if(NOT FILE)
  message(FATAL_ERROR "CheckNoWebEngine: FILE not given")
endif()
find_program(READELF readelf REQUIRED)
execute_process(COMMAND ${READELF} -d ${FILE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "CheckNoWebEngine: readelf failed on ${FILE}")
endif()
if(dynamic MATCHES "libQt6WebEngine[A-Za-z]*\\.so")
  message(FATAL_ERROR "${FILE} links ${CMAKE_MATCH_0}: the tray process must not load the web engine")
endif()
