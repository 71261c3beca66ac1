// SPDX-License-Identifier: MIT
#include "cli/Commands.h"

#include "images/Resources.h"

namespace tolmere {
int ResourceCommand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("resource needs N and OUT");
    std::int32_t number = 0;
    if (!ReadWholeNumber("resource N", args[0], number))
        return 1;
    std::optional<std::string> content = DecodeEmbeddedResource(static_cast<unsigned>(number));
    if (!content)
        return Fail("no resource " + args[0]);
    const std::string& out = args[1];
    if (!Emit(out, *content))
        return Fail("cannot write " + out);
    return 0;
}

} // namespace tolmere
