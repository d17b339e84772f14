#include "collect/attribute_lookup.h"

#include <gtest/gtest.h>

#include "text/gbk.h"

namespace qm {
namespace {

TEST(LookupAttribute, PairsAndObjects) {
    const std::string pairs = "颜色分类:红色;尺码:XL\""_gbk;
    const std::string objects =
        "{\"desc\":\"蓝色\",\"name\":\"颜色\"},{\"desc\":\"XL\",\"name\":\"尺码\"},{\"desc\":\"红色\",\"name\":\"颜色\"}"_gbk;
    struct Case {
        std::string source, name, value;
    } cases[] = {
        {pairs, "颜色分类"_gbk, "红色"_gbk},
        {pairs, "尺码"_gbk, "XL"},
        {pairs, "颜色"_gbk, "红色"_gbk},  // found as 颜色分类
        {pairs, "重量"_gbk, ""},
        {objects, "颜色"_gbk, "红色"_gbk},  // the later object wins
        {objects, "尺码"_gbk, "XL"},
        {"颜色分类:红色&nbsp;条纹\""_gbk, "颜色分类"_gbk, "红色"_gbk},
        {"\"Size:m;\""_gbk, "SIZE", "m"},
    };
    for (auto& c : cases)
        EXPECT_EQ(gbk_to_utf8(lookup_attribute(c.source, c.name)), gbk_to_utf8(c.value))
            << gbk_to_utf8(c.source) << " / " << gbk_to_utf8(c.name);
}

}  // namespace
}  // namespace qm
