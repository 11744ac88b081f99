// Servers for RegisterOleServer's tests, built three times: answering 0,
// answering an error (KESTOVA_REGISTER_FAILS), and without the entry
// (KESTOVA_NO_REGISTER).
#include <cstdint>

extern "C" {
#ifndef KESTOVA_NO_REGISTER
__attribute__((visibility("default"))) int32_t DllRegisterServer() {
#ifdef KESTOVA_REGISTER_FAILS
  return static_cast<int32_t>(0x80004005u);
#else
  return 0;
#endif
}
#endif
__attribute__((visibility("default"))) int32_t kestova_server_version = 1;
}
