#include "images/Dib.h"
#include "support/DibBuilder.h"

#include <gtest/gtest.h>

#include <utility>

namespace tolmere {
namespace {

using testing::MakeDesc;

TEST(Dib, TakeDescRefusesWhatCannotBeDrawnAndKeepsThePicture) {
    CDib dib;
    ASSERT_TRUE(dib.TakeDesc(MakeDesc(24, 2, 2)));
    const struct {
        const char* what;
        std::uint32_t bitsPerPixel;
        void (*spoil)(DibDesc&);
    } cases[] = {
        {"no rows", 24, [](DibDesc& d) { d.rows.clear(); }},
        {"rows short of the height", 24, [](DibDesc& d) { d.rows.pop_back(); }},
        {"rows narrower than the width", 24, [](DibDesc& d) { d.stride = 8; }},
        {"zero width", 24, [](DibDesc& d) { d.width = 0; }},
        {"zero height", 24, [](DibDesc& d) { d.height = 0; }},
        {"zero stride", 24, [](DibDesc& d) { d.stride = 0; }},
        {"a depth no picture has", 24, [](DibDesc& d) { d.bitsPerPixel = 32; }},
        {"8 bits without a palette", 8, [](DibDesc& d) { d.palette.clear(); }},
    };
    for (const auto& c : cases) {
        DibDesc desc = MakeDesc(c.bitsPerPixel, 3, 3);
        c.spoil(desc);
        EXPECT_FALSE(dib.TakeDesc(std::move(desc))) << c.what;
        EXPECT_EQ(dib.Desc().width, 2u) << c.what;
        EXPECT_EQ(dib.Desc().rows.size(), 16u) << c.what;
    }
    ASSERT_TRUE(dib.TakeDesc(MakeDesc(8, 5, 3)));
    EXPECT_EQ(dib.Desc().stride, 8u);
}

TEST(Dib, MovingHandsThePictureOver) {
    CDib first;
    ASSERT_TRUE(first.TakeDesc(MakeDesc(24, 2, 2, 0x5A)));
    CDib second(std::move(first));
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_EQ(second.Desc().rows[0], 0x5A);

    CDib third;
    ASSERT_TRUE(third.TakeDesc(MakeDesc(8, 1, 1)));
    third = std::move(second);
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_EQ(third.Desc().bitsPerPixel, 24u);
    EXPECT_EQ(third.Desc().width, 2u);
}

} // namespace
} // namespace tolmere
