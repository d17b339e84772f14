#include "ui/text_dialog.h"

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>

#include "settings/message_box.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"

using namespace Qt::Literals::StringLiterals;

namespace qm {

namespace {

// Client area of the dialog as designed.
constexpr int kDesignedWidth = 404;
constexpr int kDesignedHeight = 312;
constexpr int kPixelsPerChar = 6;
constexpr int kPixelsPerPromptLine = 12;

const std::string& dialog_title() { return "FenwoldTarrin："_gbk; }

QPushButton* make_button(const QString& name, const QString& caption, QRect place, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TextDialogLayout text_dialog_layout(int client_width, int client_height, int margin,
                                    std::string_view prompt, int frame_height, int button_width,
                                    int button_height) {
    TextDialogLayout layout;
    const int m = margin;
    layout.chars_per_line = (client_width - 2 * m) / kPixelsPerChar;
    if (layout.chars_per_line < 0) layout.chars_per_line = 0;

    // Each prompt line takes as many rows as its bytes need; with no room
    // for a single character every line takes one row.
    int rows = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = prompt.find("\r\n", from);
        const std::size_t length = (end == std::string_view::npos ? prompt.size() : end) - from;
        int line_rows = 1;
        if (layout.chars_per_line > 0 && length > 0) {
            const auto per_line = static_cast<std::size_t>(layout.chars_per_line);
            line_rows = static_cast<int>((length + per_line - 1) / per_line);
        }
        rows += line_rows;
        if (end == std::string_view::npos) break;
        from = end + 2;
    }
    layout.prompt_height = kPixelsPerPromptLine * rows;

    layout.prompt = QRect(m, m, client_width - 2 * m, layout.prompt_height);
    const int body_top = layout.prompt.top() + layout.prompt_height + m;
    layout.body = QRect(m, body_top, layout.prompt.width(), client_height - body_top - frame_height);
    layout.frame_top = body_top + layout.body.height();
    layout.cancel_left = client_width - m - button_width;
    layout.ok_left = layout.cancel_left - m - button_width;
    layout.buttons_top = layout.frame_top + frame_height / 2 - button_height / 2;
    return layout;
}

TextDialog::TextDialog(TextDialogArgs& args, MessageBoxes& messages, Desktop& desktop, QWidget* owner)
    : QDialog(owner), args_(args), messages_(messages), desktop_(desktop) {
    setObjectName(u"文本对话框"_s);
    resize(kDesignedWidth, kDesignedHeight);

    prompt_box_ = new QPlainTextEdit(this);
    prompt_box_->setObjectName(u"编辑框提示"_s);
    prompt_box_->setGeometry(13, 8, 395, 33);
    prompt_box_->setReadOnly(true);
    prompt_box_->setFrameShape(QFrame::NoFrame);
    prompt_box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    prompt_box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    prompt_box_->document()->setDocumentMargin(0);
    prompt_box_->setFocusPolicy(Qt::ClickFocus);
    QPalette prompt_palette = prompt_box_->palette();
    prompt_palette.setColor(QPalette::Base, palette().color(QPalette::Window));
    prompt_box_->setPalette(prompt_palette);
    prompt_box_->setPlainText(u"*"_s);

    body_ = new QPlainTextEdit(this);
    body_->setObjectName(u"编辑框正文"_s);
    body_->setGeometry(5, 56, 392, 168);

    frame_ = new QFrame(this);
    frame_->setObjectName(u"外形框"_s);
    frame_->setGeometry(0, 240, 195, 58);
    QPushButton* import_contents = make_button(u"按钮导入内容"_s, u"导入文件内容"_s, {5, 5, 91, 24}, frame_);
    QPushButton* restore_start = make_button(u"按钮恢复启动"_s, u"恢复启动值"_s, {97, 5, 91, 24}, frame_);
    QPushButton* import_paths = make_button(u"按钮导入路径"_s, u"导入文件路径"_s, {5, 29, 91, 24}, frame_);
    QPushButton* restore_default = make_button(u"按钮恢复默认"_s, u"恢复默认值"_s, {97, 29, 91, 24}, frame_);

    ok_ = make_button(u"按钮确定"_s, u"确定(&Q)"_s, {224, 251, 80, 32}, this);
    cancel_ = make_button(u"按钮取消"_s, u"取消(&F)"_s, {312, 251, 80, 32}, this);

    connect(ok_, &QPushButton::clicked, this, &TextDialog::confirm);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        closing_by_button_ = true;
        QDialog::reject();
    });
    connect(restore_start, &QPushButton::clicked, this,
            [this] { restore(args_.start_value, "启动值为空！"); });
    connect(restore_default, &QPushButton::clicked, this,
            [this] { restore(args_.default_value, "默认值为空！"); });
    connect(import_contents, &QPushButton::clicked, this, [this] { import_files(true); });
    connect(import_paths, &QPushButton::clicked, this, [this] { import_files(false); });

    // 1. Prompt, caption, body.
    prompt_box_->setPlainText(lines_from_gbk(args_.prompt));
    setWindowTitle(from_gbk(args_.title));
    body_->setPlainText(lines_from_gbk(args_.start_value));
    start_shown_ = body_->toPlainText();
    // The platform has no per-box input modes: every mode edits as mode 0.

    // 2. Info mode: a read-only viewer with one close button.
    if (args_.info_mode) {
        ok_->hide();
        frame_->hide();
        QPalette viewer = body_->palette();
        viewer.setColor(QPalette::Base, palette().color(QPalette::Button));
        body_->setPalette(viewer);
        body_->setReadOnly(true);
        QFont bold = prompt_box_->font();
        bold.setBold(true);
        prompt_box_->setFont(bold);
        cancel_->setText(u"关闭(&G)"_s);
        cancel_->setDefault(true);
    }

    // 3. Scroll bars.
    if (args_.scroll_bars) {
        body_->setLineWrapMode(QPlainTextEdit::NoWrap);
        body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }

    // 4. Outcome.
    args_.confirmed = false;
    args_.result.clear();

    // 5.-7. Margin and the requested content size.
    margin_ = args_.margin > 0 ? args_.margin : 5;
    int width = kDesignedWidth;
    int height = kDesignedHeight;
    if (args_.content_width != 0) width = args_.content_width + 2 * margin_;
    if (args_.content_height != 0)
        height = prompt_box_->height() + 2 * margin_ + args_.content_height + 3 * margin_ + ok_->height();
    resize(width, height);
    lay_out();

    // 8. Centred on the screen, a little above the middle.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.width() / 2 - width / 2, (area.height() - 30) / 2 - height / 2);
    }

    // 9. Maximised.
    if (args_.maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

void TextDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    lay_out();
}

void TextDialog::lay_out() {
    const TextDialogLayout layout = text_dialog_layout(width(), height(), margin_, args_.prompt, frame_->height(),
                                                       cancel_->width(), cancel_->height());
    prompt_box_->setGeometry(layout.prompt);
    body_->setGeometry(layout.body);
    frame_->move(frame_->x(), layout.frame_top);
    cancel_->move(layout.cancel_left, layout.buttons_top);
    ok_->move(layout.ok_left, layout.buttons_top);
}

void TextDialog::confirm() {
    args_.result = lines_to_gbk(body_->toPlainText());
    args_.confirmed = true;
    closing_by_button_ = true;
    QDialog::accept();
}

void TextDialog::reject() {
    if (!closing_by_button_ && body_->toPlainText() != start_shown_) {
        const MessageAnswer answer = messages_.show_message("内容已被改动，是否要放弃？"_gbk, dialog_title(),
                                                            MessageIcon::warning, MessageButtons::yes_no);
        if (answer != MessageAnswer::yes) return;
    }
    QDialog::reject();
}

void TextDialog::restore(const std::string& value, const char* empty_message) {
    if (!value.empty()) {
        body_->setPlainText(lines_from_gbk(value));
        return;
    }
    messages_.show_message(utf8_to_gbk(empty_message), dialog_title(), MessageIcon::warning, MessageButtons::ok);
}

void TextDialog::import_files(bool contents) {
    const QString title = u"选择多个文件，将导入其"_s + (contents ? u"文件内容"_s : u"文件路径"_s);
    const QString filter = u"文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)"_s;
    const QStringList files = desktop_.choose_files(this, title, filter);
    for (const QString& path : files) {
        QString piece;
        if (contents) {
            QFile file(path);
            QByteArray bytes;
            if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
            // The file is a text up to its first NUL byte; an unreadable one adds an empty line.
            const qsizetype nul = bytes.indexOf('\0');
            if (nul >= 0) bytes.truncate(nul);
            piece = lines_from_gbk(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        } else {
            piece = path;
        }
        QTextCursor end = body_->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(piece + u"\n"_s);
        body_->setTextCursor(end);
        run_pending_events();
    }
}

bool show_text_dialog(TextDialogArgs& args, MessageBoxes& messages, Desktop& desktop, std::string& result,
                      QWidget* owner, std::string_view prompt, std::string_view title,
                      std::string_view start_value, std::string_view default_value, int input_mode,
                      int content_width, int content_height, bool info_mode, bool scroll_bars, int margin,
                      bool maximised) {
    if (!prompt.empty())
        args.prompt = std::string(prompt);
    else
        args.prompt = info_mode ? "以下为信息详情："_gbk : "请输入数据："_gbk;
    args.title = title.empty() ? dialog_title() : std::string(title);
    args.start_value = std::string(start_value);
    args.default_value = std::string(default_value);
    args.input_mode = input_mode;
    args.content_width = content_width;
    args.content_height = content_height;
    args.info_mode = info_mode;
    args.scroll_bars = scroll_bars;
    args.margin = margin;
    args.maximised = maximised;

    TextDialog dialog(args, messages, desktop, owner);
    dialog.exec();
    if (args.confirmed) result = args.result;
    return args.confirmed;
}

}  // namespace qm
