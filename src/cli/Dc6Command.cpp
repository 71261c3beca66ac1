// SPDX-License-Identifier: MIT
#include "cli/Commands.h"

#include "images/Dc6.h"
#include "images/PngWriter.h"

#include <optional>

namespace tolmere {
int Dc6Command(const std::vector<std::string>& allArgs) {
    ParsedArgs parsed;
    if (!ParseArgs(allArgs, {}, {"--opaque"}, parsed))
        return 1;
    const std::vector<std::string>& args = parsed.positional;
    if (args.size() != 2)
        return Fail("dc6 needs IN.dc6 and OUT.png");
    std::optional<DibDesc> desc = DecodeDc6(args[0]);
    if (!desc)
        return Fail("cannot decode " + args[0] + " as a DC6 picture");
    desc->palette = BuildItemPalette();

    std::string png;
    // Entry 0 is where the picture has no pixel: see-through, as the game draws it,
    // unless the old opaque backdrop is asked for.
    if (!EncodePng(*desc, png, parsed.Flag("--opaque") ? -1 : 0))
        return Fail("cannot encode " + args[0] + " as PNG");
    const std::string& out = args[1];
    if (!Emit(out, png))
        return Fail("cannot write " + out);
    return 0;
}

} // namespace tolmere
