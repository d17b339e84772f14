#include "text/dedupe_list.h"

#include <gtest/gtest.h>

#include <string>

#include "text/pending_events.h"

namespace qm {
namespace {

TEST(DedupeList, Table) {
    struct Case {
        std::string text, separator, key_separator, expected;
    };
    const Case cases[] = {
        {"#a#|||#b#|||#a#", "|||", "", "#b#|||#a#"},
        {"a|||", "|||", "", "a|||"},
        {"a", "|||", "", "a"},
        {"a|||b|||", "|||", "", "a|||b"},
        {"|||a|||a", "|||", "", "a"},
        {"k=1,k=2", ",", "=", "k=2"},
        {"=1,=2,x", ",", "=", "=2,x"},
        {"a,b,a,b,c", ",", "", "a,b,c"},
        {"", ",", "", ""},
        {"a,b", "", "", "a,b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dedupe_list(c.text, c.separator, c.key_separator), c.expected) << c.text;
}

TEST(DedupeList, LetsEventsRunAfterEachComparisonOfDifferentKeys) {
    int runs = 0;
    set_pending_events_hook([&] {
        ++runs;
        return false;
    });
    // a-b differ, a-a equal (stop), b-a differ: two runs.
    EXPECT_EQ(dedupe_list("a|b|a", "|"), "b|a");
    set_pending_events_hook({});
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace qm
