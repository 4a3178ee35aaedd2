// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the profile reader and writer. The first byte picks
// the write to try, the rest is the file; every input must keep the profile
// invariants (tests/platform/profile_invariants.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/platform/profile_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned selector = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string problem = vantel::testing::checkProfileInvariants(file, selector);
    if (!problem.empty()) {
        std::fprintf(stderr, "profile invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
