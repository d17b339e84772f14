#pragma once

#include <QDialog>
#include <QRect>

#include <string>
#include <string_view>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class Desktop;
class MessageBoxes;

// The inputs of the text editor dialog, filled before it is created, and its
// outcome. One instance lives for the whole program. Texts are GBK.
struct TextDialogArgs {
    std::string prompt;
    std::string title;
    std::string start_value;
    std::string default_value;
    int input_mode = 0;  // 0 = ordinary editing
    int content_width = 0;  // 0 = the designed size
    int content_height = 0;
    bool info_mode = false;
    bool scroll_bars = false;
    int margin = 0;  // 0 or less = 5
    bool maximised = false;

    bool confirmed = false;
    std::string result;
};

// Where the pieces of the dialog go for a client area, by the arithmetic the
// dialog applies on every resize (exposed so it can be checked on its own).
struct TextDialogLayout {
    int chars_per_line = 0;
    int prompt_height = 0;
    QRect prompt, body;
    int frame_top = 0;
    int ok_left = 0, cancel_left = 0, buttons_top = 0;
};
TextDialogLayout text_dialog_layout(int client_width, int client_height, int margin,
                                    std::string_view prompt, int frame_height, int button_width,
                                    int button_height);

// The dialog itself. show_text_dialog is the way to open it; tests make one
// directly to reach its controls.
class TextDialog : public QDialog {
    Q_OBJECT
public:
    TextDialog(TextDialogArgs& args, MessageBoxes& messages, Desktop& desktop, QWidget* owner = nullptr);

    int margin() const { return margin_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The close box and Escape: asks before an edited text is thrown away.
    void reject() override;

private:
    void lay_out();
    void confirm();
    void restore(const std::string& value, const char* empty_message);
    void import_files(bool contents);

    TextDialogArgs& args_;
    MessageBoxes& messages_;
    Desktop& desktop_;
    int margin_ = 5;
    QString start_shown_;  // the start value as the body shows it
    bool closing_by_button_ = false;

    QPlainTextEdit* prompt_box_;
    QPlainTextEdit* body_;
    QFrame* frame_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Opens the dialog modally over owner (or without owner) and returns whether
// the user confirmed; result then receives the edited text. An empty prompt
// becomes "以下为信息详情：" in info mode and "请输入数据：" otherwise, an empty
// title "FenwoldTarrin：".
bool show_text_dialog(TextDialogArgs& args, MessageBoxes& messages, Desktop& desktop,
                      std::string& result, QWidget* owner, std::string_view prompt,
                      std::string_view title, std::string_view start_value,
                      std::string_view default_value = {}, int input_mode = 0,
                      int content_width = 0, int content_height = 0, bool info_mode = false,
                      bool scroll_bars = false, int margin = 0, bool maximised = false);

}  // namespace qm
