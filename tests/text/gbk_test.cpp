#include "text/gbk.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <random>

#include "text/pending_events.h"

namespace qm {
namespace {

TEST(Gbk, RoundTrip) {
    EXPECT_EQ("采集完成！"_gbk, std::string("\xB2\xC9\xBC\xAF\xCD\xEA\xB3\xC9\xA3\xA1"));
    EXPECT_EQ(gbk_to_utf8("采集完成！"_gbk), "采集完成！");
    EXPECT_EQ(utf8_to_gbk("⊥"), std::string("\xA1\xCD"));
    EXPECT_EQ(utf8_to_gbk("⊕"), std::string("\xA8\x92"));
    EXPECT_EQ(utf8_to_gbk("–"), std::string("\xA8\x43"));
}

TEST(Gbk, InvalidInputHasOneOutcome) {
    EXPECT_EQ(gbk_to_utf8("a\x81"), "a\xEF\xBF\xBD");             // lead byte at the end
    EXPECT_EQ(gbk_to_utf8("\xFF" "b"), "\xEF\xBF\xBD" "b");         // not a GBK byte
    EXPECT_EQ(utf8_to_gbk("a\xC3"), "a?");                          // truncated UTF-8
    EXPECT_EQ(utf8_to_gbk("x\xF0\x9F\x98\x80y"), "x?y");            // emoji: one "?"
    EXPECT_EQ(utf8_to_gbk(""), "");
    std::string garbage;
    for (int i = 0; i < 100000; ++i) garbage.push_back(static_cast<char>(i * 131 % 256));
    EXPECT_FALSE(gbk_to_utf8(garbage).empty());
    EXPECT_FALSE(utf8_to_gbk(garbage).empty());
}

// The whole text through iconv in one go, with the same fallbacks: what the
// conversion gives without copying ASCII around iconv.
std::string whole_text_iconv(std::string_view in, const char* to, const char* from, std::string_view fallback,
                             bool utf8_input) {
    iconv_t cd = iconv_open(to, from);
    std::string out;
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    while (left > 0) {
        char buffer[256];
        char* dst = buffer;
        size_t room = sizeof(buffer);
        const size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, dst - buffer);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
        out.append(fallback);
        size_t skip = 1;
        const auto b = static_cast<unsigned char>(*src);
        const size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 1;
        if (utf8_input && n <= left) {
            skip = n;
            for (size_t i = 1; i < n; ++i)
                if ((static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) skip = 1;
        }
        src += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

TEST(Gbk, SameAsConvertingTheWholeTextAtOnce) {
    // Lead bytes, trail bytes in the ASCII range, bytes valid in neither,
    // UTF-8 pieces and plain ASCII, mixed at random.
    const std::string pieces[] = {"a", "A", "@", "~", "\x7F", " ", "\x80", "\x81", "\xA1", "\xAA", "\xB0",
                                  "\xFE", "\xFF", "\xC3", "\xE4\xBD", "\xE5\xA5\xBD", "\xF0\x9F\x98\x80",
                                  "\xB0\xA1", "\xA1\xA1", std::string(1, '\0')};
    std::mt19937 random(3);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 10);
        for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
        ASSERT_EQ(gbk_to_utf8(text), whole_text_iconv(text, "UTF-8", "GBK", "\xEF\xBF\xBD", false)) << n;
        ASSERT_EQ(utf8_to_gbk(text), whole_text_iconv(text, "GBK", "UTF-8", "?", true)) << n;
    }
}

TEST(PendingEvents, NoOpUntilInstalled) {
    set_pending_events_hook({});
    EXPECT_FALSE(run_pending_events());
    int calls = 0;
    set_pending_events_hook([&] { return ++calls > 1; });
    EXPECT_FALSE(run_pending_events());
    EXPECT_TRUE(run_pending_events());
    EXPECT_EQ(calls, 2);
    set_pending_events_hook({});
}

}  // namespace
}  // namespace qm
