#pragma once

#include "settings/message_box.h"

class QWidget;

namespace qm {

// Message boxes on the screen: a modal QMessageBox over the active window
// (or the given parent), with the icon and buttons asked for.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    QtMessageBoxes(const QtMessageBoxes&) = delete;
    QtMessageBoxes& operator=(const QtMessageBoxes&) = delete;

    MessageAnswer show_message(std::string_view text, std::string_view title,
                               MessageIcon icon = MessageIcon::information,
                               MessageButtons buttons = MessageButtons::ok) override;

private:
    QWidget* parent_;
};

}  // namespace qm
