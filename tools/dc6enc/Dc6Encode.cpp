// SPDX-License-Identifier: MIT
#include "dc6enc/Dc6Encode.h"

#include "base/ByteOrder.h"

#include <algorithm>

namespace tolmere::dc6enc {
namespace {

void PutU32(std::string& out, std::uint32_t value) {
    unsigned char bytes[4];
    WriteLe32(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

} // namespace

std::string TerminationTail(std::uint32_t termination) {
    // The termination field's last three bytes: the ones the decoder compares.
    unsigned char bytes[4];
    WriteLe32(bytes, termination);
    return std::string(reinterpret_cast<const char*>(bytes) + 1, 3);
}

std::string CodeRows(const std::vector<std::string>& rowsTopFirst) {
    std::string codes;
    for (auto row = rowsTopFirst.rbegin(); row != rowsTopFirst.rend(); ++row) {
        std::size_t end = row->size();
        // Trailing transparent pixels need no code: the row ends anyway.
        while (end > 0 && (*row)[end - 1] == '\0')
            --end;
        std::size_t x = 0;
        while (x < end) {
            const bool clear = (*row)[x] == '\0';
            std::size_t run = 1;
            while (x + run < end && run < 127 && (((*row)[x + run] == '\0') == clear))
                ++run;
            if (clear) {
                codes.push_back(static_cast<char>(0x80 + run));
            } else {
                codes.push_back(static_cast<char>(run));
                codes.append(*row, x, run);
            }
            x += run;
        }
        codes.push_back(static_cast<char>(0x80));
    }
    return codes;
}

Frame FrameOf(const std::vector<std::string>& rowsTopFirst, std::uint32_t termination) {
    Frame frame;
    frame.height = static_cast<std::uint32_t>(rowsTopFirst.size());
    for (const std::string& row : rowsTopFirst)
        frame.width = std::max(frame.width, static_cast<std::uint32_t>(row.size()));
    frame.codes = CodeRows(rowsTopFirst);
    frame.trailer = TerminationTail(termination);
    return frame;
}

Frame SolidFrame(std::uint32_t width, std::uint32_t height, unsigned char index,
                 std::uint32_t termination) {
    return FrameOf(std::vector<std::string>(height, std::string(width, static_cast<char>(index))),
                   termination);
}

std::string Encode(const File& file) {
    std::string out;
    PutU32(out, file.version);
    PutU32(out, 1); // flags
    PutU32(out, 0); // encoding
    PutU32(out, file.termination);
    PutU32(out, 1); // directions
    PutU32(out,
           file.frameCountSet ? file.frameCount : static_cast<std::uint32_t>(file.frames.size()));
    std::size_t offset = out.size() + 4 * file.frames.size();
    for (const Frame& frame : file.frames) {
        PutU32(out, static_cast<std::uint32_t>(offset));
        offset += 32 + frame.codes.size() + frame.trailer.size();
    }
    for (const Frame& frame : file.frames) {
        PutU32(out, 0); // flip
        PutU32(out, frame.width);
        PutU32(out, frame.height);
        PutU32(out, 0); // x offset
        PutU32(out, 0); // y offset
        PutU32(out, 0);
        PutU32(out, 0); // next block
        PutU32(out,
               frame.lengthSet ? frame.length : static_cast<std::uint32_t>(frame.codes.size()));
        out += frame.codes;
        out += frame.trailer;
    }
    return out;
}

} // namespace tolmere::dc6enc
