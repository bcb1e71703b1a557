# korevnts-windows/: what a Windows machine needs, in one directory, and
# korevnts-windows.zip of it. The sample settings are the Debian package's.
set(KOR_WINDOWS_DIR ${CMAKE_BINARY_DIR}/korevnts-windows)
set(KOR_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/korevnts-windows.zip)
set(KOR_WINDOWS_TARGETS KorEventSvc vigilix KorEvntC korbce korplatform korprofile kormessages kordialogs tec-receiver
                        control-panel)
set(KOR_WINDOWS_FILES ${CMAKE_BINARY_DIR}/bin/VXPrtDb.ini ${PROJECT_SOURCE_DIR}/packaging/etc/KorEvntS.ini
                      ${KOR_MINGW_RUNTIME_DLLS})

set(copy_commands)
foreach(target ${KOR_WINDOWS_TARGETS})
  list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${KOR_WINDOWS_DIR}/)
endforeach()
add_custom_command(
  OUTPUT ${KOR_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KOR_WINDOWS_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KOR_WINDOWS_DIR}
  ${copy_commands}
  COMMAND ${CMAKE_COMMAND} -E copy ${KOR_WINDOWS_FILES} ${KOR_WINDOWS_DIR}/
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/korbce/korbce.example.ini ${KOR_WINDOWS_DIR}/korbce.ini
  COMMAND ${CMAKE_COMMAND} -E tar cf ${KOR_WINDOWS_ZIP} --format=zip korevnts-windows
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${KOR_WINDOWS_TARGETS} ${KOR_WINDOWS_FILES} ${PROJECT_SOURCE_DIR}/korbce/korbce.example.ini
  COMMENT "Writing korevnts-windows/ and korevnts-windows.zip")
add_custom_target(windows_package ALL DEPENDS ${KOR_WINDOWS_ZIP})
