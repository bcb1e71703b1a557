# What the Win32 backend links: Winsock, the registry, event log and service
# control manager (advapi32), the spooler's ports (winspool), the server's
# name (netapi32), windows, dialogs and the list view (user32, gdi32, comctl32).
target_link_libraries(korplatform PRIVATE ws2_32 advapi32 winspool netapi32 user32 gdi32 comctl32)
