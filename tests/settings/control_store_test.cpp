#include "settings/control_store.h"

#include <gtest/gtest.h>

#include "settings/recording_message_boxes.h"
#include "text/gbk.h"

namespace qm {
namespace {

TEST(ControlStore, UnsetControlsReadAsEmpty) {
    ControlStore store;
    EXPECT_EQ(store.text("编辑框序号"_gbk), "");
    EXPECT_FALSE(store.is_checked("选择框过滤"_gbk));
    EXPECT_EQ(store.selected_index("组合框类型"_gbk), -1);
    EXPECT_FALSE(store.has("编辑框序号"_gbk));
}

TEST(ControlStore, KeepsEachKindOfValuePerControl) {
    ControlStore store;
    store.set_text("选择框过滤"_gbk, "替 换："_gbk);
    store.set_checked("选择框过滤"_gbk, true);
    store.set_selected_index("组合框类型"_gbk, 4);
    store.set_text("编辑框序号"_gbk, "1");
    store.set_text("编辑框序号"_gbk, "7");
    EXPECT_EQ(store.text("选择框过滤"_gbk), "替 换："_gbk);
    EXPECT_TRUE(store.is_checked("选择框过滤"_gbk));
    EXPECT_EQ(store.selected_index("组合框类型"_gbk), 4);
    EXPECT_EQ(store.selected_index("选择框过滤"_gbk), -1);
    EXPECT_EQ(store.text("编辑框序号"_gbk), "7");
    EXPECT_TRUE(store.has("组合框类型"_gbk));
}

TEST(RecordingMessageBoxes, RecordsAndAnswersInOrderThenByDefault) {
    RecordingMessageBoxes boxes;
    boxes.queue_answer(MessageAnswer::no);
    int hooked = 0;
    boxes.on_show([&](const RecordedMessage& m) {
        ++hooked;
        if (hooked == 1) {
            EXPECT_EQ(m.text, "继续？"_gbk);
        }
    });
    EXPECT_EQ(boxes.show_message("继续？"_gbk, "信息："_gbk, MessageIcon::question, MessageButtons::yes_no),
              MessageAnswer::no);
    EXPECT_EQ(boxes.show_message("再次？"_gbk, "信息："_gbk, MessageIcon::question, MessageButtons::yes_no_cancel),
              MessageAnswer::yes);
    EXPECT_EQ(boxes.show_message("保存完毕！"_gbk, "信息："_gbk, MessageIcon::none), MessageAnswer::ok);
    EXPECT_EQ(boxes.show_message("确定？"_gbk, "信息："_gbk, MessageIcon::warning, MessageButtons::ok_cancel),
              MessageAnswer::ok);
    ASSERT_EQ(boxes.messages().size(), 4u);
    EXPECT_EQ(hooked, 4);
    EXPECT_EQ(boxes.messages()[2].text, "保存完毕！"_gbk);
    EXPECT_EQ(boxes.messages()[2].title, "信息："_gbk);
    EXPECT_EQ(boxes.messages()[2].icon, MessageIcon::none);
    EXPECT_EQ(boxes.messages()[3].buttons, MessageButtons::ok_cancel);
}

}  // namespace
}  // namespace qm
