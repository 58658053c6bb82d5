// A plain dlopen wrapper for the library tests: no Qt, so the stand-in libraries are tested
// exactly as a C caller sees them, under every sanitizer.
#pragma once

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testsupport {

// The platform file name of a library given by its original name: "X.dll" -> "libX.so", in
// the folder named by TESSARO_LIB_DIR (set by the test launcher).
inline std::string LibraryPath(const std::string& originalName) {
    std::string base = originalName;
    const std::string dll = ".dll";
    if (base.size() > dll.size() && base.compare(base.size() - dll.size(), dll.size(), dll) == 0) {
        base.resize(base.size() - dll.size());
    }
    const char* dir = std::getenv("TESSARO_LIB_DIR");
    std::string path = dir != nullptr ? std::string(dir) + "/" : std::string();
    return path + "lib" + base + ".so";
}

class DlLibrary {
public:
    explicit DlLibrary(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW)) {
        if (handle_ == nullptr) {
            const char* why = ::dlerror();
            throw std::runtime_error("dlopen " + path + ": " + (why != nullptr ? why : "?"));
        }
    }
    ~DlLibrary() {
        if (handle_ != nullptr) {
            ::dlclose(handle_);
        }
    }
    DlLibrary(const DlLibrary&) = delete;
    DlLibrary& operator=(const DlLibrary&) = delete;

    // The export `name` as a function pointer of type Fn; null when it is missing.
    template <typename Fn> Fn Find(const char* name) const {
        return reinterpret_cast<Fn>(::dlsym(handle_, name));
    }
    // The export `name`; throws when it is missing.
    template <typename Fn> Fn Get(const char* name) const {
        Fn fn = Find<Fn>(name);
        if (fn == nullptr) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return fn;
    }

private:
    void* handle_;
};

} // namespace testsupport
