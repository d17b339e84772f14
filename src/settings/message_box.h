#pragma once

#include <string_view>

namespace qm {

enum class MessageIcon { none, information, question, warning };
enum class MessageButtons { ok, ok_cancel, yes_no, yes_no_cancel };
enum class MessageAnswer { ok, cancel, yes, no };

// Every message box of the system goes through this, so tests can read and
// answer them. Texts are GBK.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show_message(std::string_view text, std::string_view title,
                                       MessageIcon icon = MessageIcon::information,
                                       MessageButtons buttons = MessageButtons::ok) = 0;
};

}  // namespace qm
