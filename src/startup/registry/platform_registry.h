// The registry of the platform the program runs on: the Win32 registry on Windows, the .reg file store elsewhere.
#pragma once

#include "registry_backend.h"

#include <memory>

namespace bdlogic {

// Defined in registry_win32.cpp on Windows and in reg_file_store.cpp elsewhere (RegFileStore over
// RegFileStore::defaultDirectory()).
std::unique_ptr<reg::Backend> CreatePlatformRegistry();

} // namespace bdlogic
