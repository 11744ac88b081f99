// A shared library for the settings tests: a module of its own, with a
// function to find it by, a version variable, and a call through it.
#include "crashreport/zorExceptTestModule.h"

extern "C" {

const char* zortest_module_version = "4.2.0-test";
const char* zortest_module_bad_version = nullptr;

int zortest_module_function(int x) { return x * 3 + 1; }

// Calls back into the caller's module; the asm after the call keeps this
// frame on the stack (no tail call).
void* zortest_module_call(void* (*callback)(int), int level) {
  void* result = callback(level);
  asm volatile("" ::: "memory");
  return result;
}
}
