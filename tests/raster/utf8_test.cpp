#include "raster/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Utf8, DecodesWellFormedSequencesAndPassesOtherBytesThrough) {
    struct {
        const char* what;
        std::string text;
        std::vector<uint32_t> codes;
        bool multiByte;
    } cases[] = {
        {"ascii", "Hi!", {'H', 'i', '!'}, false},
        {"two bytes", "\xC3\xA9", {0xE9}, true},
        {"three bytes", "\xE2\x82\xAC", {0x20AC}, true},
        {"four bytes", "\xF0\x9F\x98\x80", {0x1F600}, true},
        {"highest", "\xF4\x8F\xBF\xBF", {0x10FFFF}, true},
        {"lone latin-1 byte", "caf\xE9", {'c', 'a', 'f', 0xE9}, false},
        {"lone continuation", "\x80", {0x80}, false},
        {"overlong slash", "\xC0\xAF", {0xC0, 0xAF}, false},
        {"overlong three", "\xE0\x80\xAF", {0xE0, 0x80, 0xAF}, false},
        {"surrogate", "\xED\xA0\x80", {0xED, 0xA0, 0x80}, false},
        {"above range", "\xF4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}, false},
        {"truncated at the end", "a\xE2\x82", {'a', 0xE2, 0x82}, false},
        {"mixed", "\xFF\xC3\xA9", {0xFF, 0xE9}, true},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> got;
        for (size_t pos = 0; pos < c.text.size();)
            got.push_back(rast::NextCodePoint(c.text.data(), c.text.size(), pos));
        EXPECT_EQ(got, c.codes) << c.what;
        EXPECT_EQ(rast::HasMultiByteSequence(c.text.data(), c.text.size()), c.multiByte) << c.what;
    }
    // A length that stops inside a sequence never reads past it.
    const char euro[] = "\xE2\x82\xAC";
    size_t pos = 0;
    EXPECT_EQ(rast::NextCodePoint(euro, 2, pos), 0xE2u);
}
