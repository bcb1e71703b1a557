# What the Win32 backend links: Winsock, the registry, event log and service
# control manager (advapi32), the spooler's ports (winspool), the server's
# name (netapi32), message boxes and the display (user32), the neighbour
# table (iphlpapi).
target_link_libraries(korplatform PRIVATE ws2_32 advapi32 winspool netapi32 user32 iphlpapi)
# The dialog windows and their list view.
target_link_libraries(kor_window_dialog_backend PUBLIC user32 gdi32 comctl32)
