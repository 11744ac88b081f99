// A library for the loader's tests. Built twice: with the answer exported,
// and (KESTOVA_WITHOUT_ANSWER) without it.
extern "C" {
#ifndef KESTOVA_WITHOUT_ANSWER
__attribute__((visibility("default"))) int kestova_test_answer() { return 42; }
#endif
__attribute__((visibility("default"))) int kestova_test_version = 7;
}
