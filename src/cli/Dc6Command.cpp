#include "cli/Commands.h"

#include "images/Dc6.h"
#include "images/PngWriter.h"
#include "tables/SafeWriter.h"
#include "tables/Services.h"

#include <cstdio>
#include <cstring>

namespace tolmere {
namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: %s\n", message.c_str());
    return 1;
}

} // namespace

int Dc6Command(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("dc6 needs IN.dc6 and OUT.png");
    DibDesc desc;
    if (!DecodeDc6(desc, args[0]))
        return Fail("cannot decode " + args[0] + " as a DC6 picture");
    const auto palette = BuildItemPalette();
    desc.palette = reinterpret_cast<unsigned char*>(AllocOrExit(palette.size()));
    std::memcpy(desc.palette, palette.data(), palette.size());

    std::string png;
    const bool encoded = EncodePng(desc, png);
    ReleaseDesc(desc);
    if (!encoded)
        return Fail("cannot encode " + args[0] + " as PNG");
    const std::string& out = args[1];
    const bool written = out == "-"
                             ? std::fwrite(png.data(), 1, png.size(), stdout) == png.size() &&
                                   std::fflush(stdout) == 0
                             : WriteFileSafely(out, png);
    if (!written)
        return Fail("cannot write " + out);
    return 0;
}

} // namespace tolmere
