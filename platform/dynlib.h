// Loading a shared library by bare file name through the system's library search. The calling
// object's RUNPATH decides where it is found, so this code is linked statically into executables.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Null when the library cannot be loaded (missing, wrong architecture, unresolved symbols).
LibraryHandle LoadLibrary(const std::string& fileName);
// Null when the library lacks the entry point.
void* GetProcAddress(LibraryHandle library, const char* name);
void FreeLibrary(LibraryHandle library);
// The loader's text for the last failure, for diagnostics only.
std::string LastLibraryError();

// Owns a loaded library and releases it on every path.
class ScopedLibrary {
public:
    ScopedLibrary() = default;
    explicit ScopedLibrary(const std::string& fileName) : handle_(LoadLibrary(fileName)) {}
    ~ScopedLibrary() { reset(); }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;

    LibraryHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    template <typename Fn> Fn entry(const char* name) const {
        return reinterpret_cast<Fn>(GetProcAddress(handle_, name));
    }
    void reset() {
        if (handle_) FreeLibrary(handle_);
        handle_ = nullptr;
    }

private:
    LibraryHandle handle_ = nullptr;
};

} // namespace platform
