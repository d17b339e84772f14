#include "ui/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/qt_text.h"

namespace qm {

namespace {

QMessageBox::Icon qt_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::none: return QMessageBox::NoIcon;
        case MessageIcon::information: return QMessageBox::Information;
        case MessageIcon::question: return QMessageBox::Question;
        case MessageIcon::warning: return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qt_buttons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::ok: return QMessageBox::Ok;
        case MessageButtons::ok_cancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::yes_no: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::yes_no_cancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

}  // namespace

MessageAnswer QtMessageBoxes::show_message(std::string_view text, std::string_view title,
                                           MessageIcon icon, MessageButtons buttons) {
    QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
    QMessageBox box(qt_icon(icon), from_gbk(title), lines_from_gbk(text), qt_buttons(buttons), parent);
    // Review texts are shown as they are, never interpreted as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageAnswer::yes;
        case QMessageBox::No: return MessageAnswer::no;
        case QMessageBox::Cancel: return MessageAnswer::cancel;
        case QMessageBox::Ok: return MessageAnswer::ok;
        default:
            // The close box or Escape: the answer that changes nothing.
            if (buttons == MessageButtons::ok) return MessageAnswer::ok;
            return buttons == MessageButtons::yes_no ? MessageAnswer::no : MessageAnswer::cancel;
    }
}

}  // namespace qm
