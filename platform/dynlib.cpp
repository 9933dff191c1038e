#include "platform/dynlib.h"

#include <dlfcn.h>

namespace platform {

LibraryHandle LoadLibrary(const std::string& fileName) {
    // RTLD_LOCAL keeps each plug-in's symbols to itself; the host looks them up with dlsym.
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(LibraryHandle library, const char* name) {
    if (!library) return nullptr;
    return dlsym(library, name);
}

void FreeLibrary(LibraryHandle library) {
    if (library) dlclose(library);
}

std::string LastLibraryError() {
    const char* text = dlerror();
    return text ? text : "";
}

} // namespace platform
