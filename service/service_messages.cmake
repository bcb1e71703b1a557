# Windows: the event log reads the texts of the service's messages from the
# program file, which the service registers as its source's message file.
# windmc compiles the message table and windres makes it a resource object
# linked into KorEventSvc.exe. windmc ends each text with the line end of the
# .mc file: CR LF, as the texts of service_messages.cpp end.
set(KOR_MESSAGES_DIR ${CMAKE_CURRENT_BINARY_DIR}/messages)
configure_file(service_messages.mc ${KOR_MESSAGES_DIR}/service_messages.mc @ONLY NEWLINE_STYLE CRLF)
add_custom_command(
  OUTPUT ${KOR_MESSAGES_DIR}/service_messages_res.o
  COMMAND ${CMAKE_MC_COMPILER} -h . -r . -b service_messages.mc
  COMMAND ${CMAKE_RC_COMPILER} -O coff -I . -i service_messages.rc -o service_messages_res.o
  DEPENDS ${KOR_MESSAGES_DIR}/service_messages.mc
  WORKING_DIRECTORY ${KOR_MESSAGES_DIR}
  COMMENT "Compiling the service's message table")
set_source_files_properties(${KOR_MESSAGES_DIR}/service_messages_res.o PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
target_sources(KorEventSvc PRIVATE ${KOR_MESSAGES_DIR}/service_messages_res.o)
