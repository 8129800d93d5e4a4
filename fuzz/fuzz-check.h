#pragma once
// A failed property of a fuzz target: says what and aborts, which libFuzzer
// takes as a crash and keeps the input as its reproducer.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                       \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                                 \
      std::fputc('\n', stderr);                                                          \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
