#include "settings/recording_message_boxes.h"

namespace qm {

MessageAnswer RecordingMessageBoxes::show_message(std::string_view text, std::string_view title,
                                                  MessageIcon icon, MessageButtons buttons) {
    messages_.push_back({std::string(text), std::string(title), icon, buttons});
    if (on_show_) {
        RecordedMessage shown = messages_.back();  // the hook may show further boxes
        on_show_(shown);
    }
    if (!answers_.empty()) {
        MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    bool yes_no = buttons == MessageButtons::yes_no || buttons == MessageButtons::yes_no_cancel;
    return yes_no ? MessageAnswer::yes : MessageAnswer::ok;
}

}  // namespace qm
