#include "text/gbk.h"

#include <gtest/gtest.h>

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
