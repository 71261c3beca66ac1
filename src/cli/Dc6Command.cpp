#include "cli/Commands.h"

#include "images/Dc6.h"
#include "images/PngWriter.h"
#include "tables/Services.h"

#include <cstdio>
#include <cstring>

namespace tolmere {
int Dc6Command(const std::vector<std::string>& allArgs) {
    ParsedArgs parsed;
    if (!ParseArgs(allArgs, {}, {"--opaque"}, parsed))
        return 1;
    const std::vector<std::string>& args = parsed.positional;
    if (args.size() != 2)
        return Fail("dc6 needs IN.dc6 and OUT.png");
    DibDesc desc;
    if (!DecodeDc6(desc, args[0]))
        return Fail("cannot decode " + args[0] + " as a DC6 picture");
    const auto palette = BuildItemPalette();
    desc.palette = reinterpret_cast<unsigned char*>(AllocOrExit(palette.size()));
    std::memcpy(desc.palette, palette.data(), palette.size());

    std::string png;
    // Entry 0 is where the picture has no pixel: see-through, as the game draws it,
    // unless the old opaque backdrop is asked for.
    const bool encoded = EncodePng(desc, png, parsed.Flag("--opaque") ? -1 : 0);
    ReleaseDesc(desc);
    if (!encoded)
        return Fail("cannot encode " + args[0] + " as PNG");
    const std::string& out = args[1];
    if (!Emit(out, png))
        return Fail("cannot write " + out);
    return 0;
}

} // namespace tolmere
