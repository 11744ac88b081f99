#pragma once
// The test library's exports (see zorExceptTestModule.cpp).
extern "C" {
// Points to the library's version text.
extern const char* zortest_module_version;
// Set by a test to memory that is not mapped.
extern const char* zortest_module_bad_version;
int zortest_module_function(int x);
void* zortest_module_call(void* (*callback)(int), int level);
}
