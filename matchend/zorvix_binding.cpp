// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matchend/zorvix_binding.h"

#include <dlfcn.h>

#include <mutex>
#include <system_error>

#include "effects/zorvix.h"

namespace vantel::zorvix {
namespace {

constexpr const char* kLibraryFile = "libZorvix.so";
constexpr const char* kAlphaBltName = "AlphaBlt";

using AlphaBltFunction = decltype(&::AlphaBlt);

// The library stays loaded until the process ends, as the game's run-time
// keeps it.
struct Binding {
    std::mutex lock;
    bool searchChosen = false;
    LibrarySearch search;
    void* library = nullptr;
    AlphaBltFunction alphaBlt = nullptr;

    void forget() {
        alphaBlt = nullptr;
        if (library != nullptr) dlclose(library);
        library = nullptr;
    }

    const LibrarySearch& currentSearch() {
        if (!searchChosen) {
            search = defaultLibrarySearch();
            searchChosen = true;
        }
        return search;
    }

    void* openLibrary() {
        const LibrarySearch& where = currentSearch();
        if (!where.programFolder.empty()) {
            const std::string path = (where.programFolder / kLibraryFile).string();
            if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
        }
        if (where.systemSearch) return dlopen(kLibraryFile, RTLD_NOW | RTLD_LOCAL);
        return nullptr;
    }

    // Binds on the first call and keeps the address. A failure is not kept:
    // the next call looks again.
    AlphaBltFunction bindAlphaBlt() {
        if (alphaBlt != nullptr) return alphaBlt;
        if (library == nullptr) library = openLibrary();
        if (library == nullptr) return nullptr;
        dlerror();
        void* entry = dlsym(library, kAlphaBltName);
        if (entry == nullptr) {
            forget();
            return nullptr;
        }
        alphaBlt = reinterpret_cast<AlphaBltFunction>(entry);
        return alphaBlt;
    }
};

Binding& binding() {
    static Binding instance;
    return instance;
}

}  // namespace

LibrarySearch defaultLibrarySearch() {
    LibrarySearch search;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) search.programFolder = program.parent_path();
    search.systemSearch = true;
    return search;
}

void setLibrarySearch(const LibrarySearch& search) {
    Binding& b = binding();
    std::lock_guard<std::mutex> guard(b.lock);
    b.forget();
    b.search = search;
    b.searchChosen = true;
}

LibrarySearch librarySearch() {
    Binding& b = binding();
    std::lock_guard<std::mutex> guard(b.lock);
    return b.currentSearch();
}

std::optional<int32_t> AlphaBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                                int32_t hdcSrc1, int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2, int32_t xSrc2,
                                int32_t ySrc2, double alpha1, double alpha2) {
    Binding& b = binding();
    // Held through the call, so the library cannot be let go meanwhile.
    std::lock_guard<std::mutex> guard(b.lock);
    const AlphaBltFunction function = b.bindAlphaBlt();
    if (function == nullptr) return std::nullopt;
    return function(hdcDest, xDest, yDest, width, height, hdcSrc1, xSrc1, ySrc1, hdcSrc2, xSrc2, ySrc2, alpha1,
                    alpha2);
}

}  // namespace vantel::zorvix
