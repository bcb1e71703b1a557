// What system libraries keep and never free, which the leak checks of
// sanitizer builds are told of, for every program linked with this library:
// - libtirpc keeps a 16-byte address of each portmapper call;
// - libcrypto, which net-snmp uses for SNMPv3 and its random numbers, keeps
//   state of each thread that used it once that thread has ended.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:__rpc_uaddr2taddr_af\n"
         "leak:libcrypto.so\n";
}
