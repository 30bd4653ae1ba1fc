#include "platform/platform.h"

#include <cstdlib>

namespace {
Platform* g_platform = nullptr;
}

Platform& ThePlatform() {
  if (g_platform == nullptr) std::abort();  // nothing runs before start-up installs one
  return *g_platform;
}

void InstallPlatform(Platform* platform) { g_platform = platform; }
