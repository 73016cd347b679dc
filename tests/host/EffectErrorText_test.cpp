#include <gtest/gtest.h>

#include <string>

#include "engine/graphics/EffectErrorText.h"

namespace {

using KYR::EffectErrorText;

TEST(EffectErrorText, ReadsTheBufferByItsSize) {
    const std::string fixed = EffectErrorText(nullptr, 0);
    EXPECT_FALSE(fixed.empty());
    // As Wine fills it: no terminating zero, so the bytes after it must not appear.
    const char unterminated[] = "(1,1): error X3000: syntax error\nGARBAGE";
    const char terminated[] = "line 2: bad\0padding";
    struct Row {
        const void* buffer;
        size_t size;
        std::string text;
    } rows[] = {
        {unterminated, 33, "(1,1): error X3000: syntax error\n"},
        {terminated, sizeof(terminated), "line 2: bad"},
        {terminated, 4, "line"},
        {"\0\0", 2, fixed},  // nothing but the zero
        {unterminated, 0, fixed},
        {nullptr, 12, fixed},
    };
    for (const Row& r : rows) EXPECT_EQ(EffectErrorText(r.buffer, r.size), r.text) << r.size;
}

}  // namespace
