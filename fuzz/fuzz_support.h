// What every fuzz target shares: a shell over a fake platform (text storage
// and fatal errors need one), a check that stops the run on a mismatch, and
// a guard that turns an unexpected process end into a crash libFuzzer saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "monitor/text.h"
#include "platform/fake/fake_platform.h"
#include "shell/disk_space_query.h"
#include "shell/program.h"

// Prints the failed condition and aborts, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition, ...)                                                      \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                                \
      std::fprintf(stderr, "\n");                                                       \
      std::abort();                                                                     \
    }                                                                                   \
  } while (false)

// The platform and shell live for the whole run: the program has one of each.
template <typename PlatformType = FakePlatform>
PlatformType& FuzzPlatform() {
  static PlatformType platform;
  static Shell shell(platform, DiskSpaceQueryProgram());
  static bool registered = [] {
    RegisterConstantTexts(shell.program().constantTexts, shell.program().constantTextsSize);
    return true;
  }();
  (void)registered;
  return platform;
}

// Runs `action`; none of these operations may end the process or throw.
template <typename Action>
void Guarded(Action action) {
  try {
    action();
  } catch (const ProcessExited& exited) {
    std::fprintf(stderr, "the program ended (exit code %u)\n", static_cast<unsigned>(exited.exitCode));
    std::abort();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "exception: %s\n", error.what());
    std::abort();
  } catch (...) {
    std::fprintf(stderr, "unknown exception\n");
    std::abort();
  }
}

// Printable form of bytes for mismatch reports.
inline std::string Escaped(const std::string& bytes) {
  std::string out;
  char hex[8];
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// An exactly sized heap copy of `bytes` plus a terminator, so that a read past
// the terminator is caught by AddressSanitizer.
class ExactText {
 public:
  explicit ExactText(const std::string& bytes) : bytes_(new char[bytes.size() + 1]) {
    std::memcpy(bytes_, bytes.data(), bytes.size());
    bytes_[bytes.size()] = '\0';
  }
  ~ExactText() { delete[] bytes_; }
  ExactText(const ExactText&) = delete;
  ExactText& operator=(const ExactText&) = delete;
  Text Get() const { return bytes_; }

 private:
  char* bytes_;
};
