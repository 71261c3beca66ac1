// SPDX-License-Identifier: MIT
// Builds DC6 files for tests and fuzz seeds. Not a general-purpose encoder: it writes
// just the fields the decoder reads, and lets tests put any bytes where they like.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolmere::dc6enc {

constexpr std::uint32_t kTerminationEE = 0xEEEEEEEE;
constexpr std::uint32_t kTerminationZero = 0x00000000;
constexpr std::uint32_t kTerminationCD = 0xCDCDCDCD;

struct Frame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The coded rows; their size is written as the data length unless `length` is set.
    std::string codes;
    // Bytes placed after the codes, before the next frame; real files put the
    // termination bytes here.
    std::string trailer;
    bool lengthSet = false;
    std::uint32_t length = 0;
};

struct File {
    std::uint32_t version = 6;
    std::uint32_t termination = kTerminationEE;
    std::vector<Frame> frames;
    // When set, replaces the frame count the header gives.
    bool frameCountSet = false;
    std::uint32_t frameCount = 0;
};

// The three bytes that end a frame after its last end-of-row code.
std::string TerminationTail(std::uint32_t termination);

// Codes pixel rows (given top row first, index 0 meaning transparent) the way the
// game's files do: bottom row first, zeros as skips, each row closed by 0x80.
std::string CodeRows(const std::vector<std::string>& rowsTopFirst);

// A frame of those rows, closed with the termination bytes as real files are.
Frame FrameOf(const std::vector<std::string>& rowsTopFirst, std::uint32_t termination);

// A frame of one colour, `width` × `height`.
Frame SolidFrame(std::uint32_t width, std::uint32_t height, unsigned char index,
                 std::uint32_t termination);

// The whole file; frame offsets point at the frames laid out one after another.
std::string Encode(const File& file);

} // namespace tolmere::dc6enc
