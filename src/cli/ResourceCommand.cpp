#include "cli/Commands.h"

#include "images/Resources.h"

#include <cstdio>
#include <cstdlib>

namespace tolmere {
namespace {

bool ParseNumber(const std::string& text, unsigned& number) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos)
        return false;
    number = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

} // namespace

int ResourceCommand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("resource needs N and OUT");
    unsigned number = 0;
    if (!ParseNumber(args[0], number))
        return Fail("resource number " + args[0] + " is not a number");
    std::optional<std::string> content = DecodeEmbeddedResource(number);
    if (!content)
        return Fail("no resource " + args[0]);
    const std::string& out = args[1];
    if (!Emit(out, *content))
        return Fail("cannot write " + out);
    return 0;
}

} // namespace tolmere
