// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's lazy binding to the effects library Zorvix.
//
// The program is never linked against the library. At the first effect
// call the library file libZorvix.so is loaded by name — from the program
// folder first, then through the system's library search — and the entry
// point is looked up by name; the address is kept for later calls. A call
// that finds no library or no entry point reports it to the caller, which
// goes on without the effect; the next call tries again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vantel::zorvix {

// Where the library file is looked for, in order.
struct LibrarySearch {
    // Searched first; empty skips it. By default the folder of the running
    // program.
    std::filesystem::path programFolder;
    // Then the system's library search for the bare file name.
    bool systemSearch = true;
};

// The folder of /proc/self/exe and the system's search.
LibrarySearch defaultLibrarySearch();

// Replaces the search and forgets any binding made so far, so the next call
// binds again. Tests use it to point the game at a folder of their own.
void setLibrarySearch(const LibrarySearch& search);

// The search in force.
LibrarySearch librarySearch();

// AlphaBlt of the library: the result the library returned (1 or 0), or no
// value when the library or its entry point could not be found.
std::optional<int32_t> AlphaBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                                int32_t hdcSrc1, int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2, int32_t xSrc2,
                                int32_t ySrc2, double alpha1, double alpha2);

}  // namespace vantel::zorvix
