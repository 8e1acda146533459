// Loading a shared library at run time, as the input machine loads the
// generator.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// path uses the host's form: backslashes and a ".dll" ending. On other
// platforms they become the local separator and shared-library ending.
// Relative paths are looked up beside the running program first, then from
// the current folder. Returns null on failure; lastSystemErrorText() then
// says why.
LibraryHandle loadLibrary(const std::string& path);
void* librarySymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);

// The host-form path turned into this platform's form.
std::string localLibraryPath(const std::string& hostPath);

// The system's text for the calling thread's last error, or "Unknown error
// code N" when the system has none.
std::string lastSystemErrorText();

} // namespace platform
