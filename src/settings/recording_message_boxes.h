#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/message_box.h"

namespace qm {

// One message box as it was shown (GBK texts).
struct RecordedMessage {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::information;
    MessageButtons buttons = MessageButtons::ok;
};

// Message boxes for tests and the headless collector: every box is recorded
// and answered at once from the preset answers, in order. With none left it
// answers "ok" for OK boxes and "yes" for yes/no boxes.
class RecordingMessageBoxes : public MessageBoxes {
public:
    RecordingMessageBoxes() = default;
    RecordingMessageBoxes(const RecordingMessageBoxes&) = delete;
    RecordingMessageBoxes& operator=(const RecordingMessageBoxes&) = delete;

    MessageAnswer show_message(std::string_view text, std::string_view title,
                               MessageIcon icon = MessageIcon::information,
                               MessageButtons buttons = MessageButtons::ok) override;

    void queue_answer(MessageAnswer answer) { answers_.push_back(answer); }
    // Called with each box before it is answered, e.g. to press a button
    // while the box would be open.
    void on_show(std::function<void(const RecordedMessage&)> hook) { on_show_ = std::move(hook); }

    const std::vector<RecordedMessage>& messages() const { return messages_; }
    void clear() { messages_.clear(); answers_.clear(); }

private:
    std::vector<RecordedMessage> messages_;
    std::deque<MessageAnswer> answers_;
    std::function<void(const RecordedMessage&)> on_show_;
};

}  // namespace qm
