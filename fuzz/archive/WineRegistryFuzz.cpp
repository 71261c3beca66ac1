// SPDX-License-Identifier: MIT
// Wine's registry files are text any program may have written; reading one must
// never fail worse than finding nothing.
#include "archive/WineRegistry.h"
#include "support/Require.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tolmere::CWineRegistryFile reg;
    reg.Parse(text);
    const char* key = "Software\\Blizzard Entertainment\\Diablo II";
    auto value = reg.Value(key, "InstallPath");
    tolmere::fuzz::Require(!value || reg.HasKey(key), "a value implies its key");
    reg.Value("", "");
    return 0;
}
