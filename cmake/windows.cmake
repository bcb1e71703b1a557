# The Windows build: DLLs without the "lib" prefix, the compiler's runtime
# DLLs beside the programs, and a self-contained output directory.
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_IMPORT_LIBRARY_PREFIX "")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# libstdc++, libgcc and winpthread as DLLs shared by every program and DLL of
# ours, so that C++ objects may cross the DLLs' borders.
set(KOR_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "cannot find the mingw-w64 runtime ${dll}")
  endif()
  list(APPEND KOR_MINGW_RUNTIME_DLLS ${dll_path})
  file(COPY ${dll_path} DESTINATION ${CMAKE_BINARY_DIR}/bin)
endforeach()
