// What system libraries keep and never free, which the leak checks of
// sanitizer builds are told of, for every program linked with this library:
// libcrypto, which net-snmp uses for SNMPv3 and its random numbers, keeps
// state of each thread that used it once that thread has ended.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libcrypto.so\n";
}
