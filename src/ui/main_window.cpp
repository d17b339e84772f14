#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "collect/collection_run.h"
#include "settings/main_window_settings.h"
#include "settings/message_box.h"
#include "settings/settings_file.h"
#include "text/gbk.h"
#include "ui/desktop.h"
#include "ui/help_texts.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"
#include "ui/spaced_label.h"
#include "ui/text_dialog.h"

using namespace Qt::Literals::StringLiterals;

namespace qm {

namespace {

// The client area; with the platform's frame the window is 670 x 568.
constexpr int kClientWidth = 664;
constexpr int kClientHeight = 540;

template <class Control>
Control* place(Control* control, const QString& name, int left, int top, int width, int height) {
    control->setObjectName(name);
    control->setGeometry(left, top, width, height);
    return control;
}

QLabel* add_label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                  int height) {
    auto* label = place(new QLabel(caption, parent), name, left, top, width, height);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* add_button(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                        int width, int height) {
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

QLineEdit* add_edit(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                    int height) {
    return place(new QLineEdit(text, parent), name, left, top, width, height);
}

QCheckBox* add_check(QWidget* parent, const QString& name, const QString& caption, bool checked, int left,
                     int top, int width, int height) {
    auto* box = place(new QCheckBox(caption, parent), name, left, top, width, height);
    box->setChecked(checked);
    return box;
}

const std::string& info_title() { return "信息："_gbk; }

}  // namespace

MainWindow::MainWindow(SettingsFile& settings, MessageBoxes& messages, Desktop& desktop,
                       TextDialogArgs& dialog_args, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      messages_(messages),
      desktop_(desktop),
      dialog_args_(dialog_args),
      access_(*this) {
    setObjectName(u"主窗口"_s);
    setWindowTitle(u"Quillmere v1.51 - 批量采集淘宝商品评论数据 智能引用全部数据类型"_s);
    setFixedSize(kClientWidth, kClientHeight);

    build_toolbar();
    build_step_one();
    build_step_two();
    build_step_three();
    // Initial paths fitted to this platform's file system.
    apply_main_window_initial_values(access_);
    apply_replace_rule();
}

void MainWindow::build_toolbar() {
    struct Picture {
        const char16_t* box;
        const char16_t* link;
        const char16_t* caption;
        const char16_t* picture;
        const char* address;
    };
    const Picture pictures[] = {
        {u"图片框保存", u"超级链接框保存", u"保存配置", u":/pictures/save.svg", ""},
        {u"图片框更新", u"超级链接框更新", u"查看更新", u":/pictures/update.svg", links::updates_page},
        {u"图片框操作", u"超级链接框操作", u"操作帮助", u":/pictures/help.svg", ""},
        {u"图片框软件", u"超级链接框软件", u"更多软件", u":/pictures/software.svg", links::software_page},
        {u"图片框QQ", u"超级链接框QQ", u"呼叫Fenwold", u":/pictures/contact.svg", links::contact_page},
    };
    int left = 0;
    for (const Picture& p : pictures) {
        auto* box = place(new PictureBox(QString::fromUtf16(p.picture), this), QString::fromUtf16(p.box), left, 0,
                          64, 90);
        auto* link = place(new LinkLabel(QString::fromUtf16(p.caption), QString::fromUtf8(p.address), box),
                           QString::fromUtf16(p.link), 0, 63, 63, 24);
        left += 64;

        const QString name = box->objectName();
        if (name == u"图片框保存"_s) {
            connect(box, &PictureBox::pressed, this, &MainWindow::save_from_toolbar);
            connect(link, &LinkLabel::pressed, this, &MainWindow::save_from_toolbar);
        } else if (name == u"图片框操作"_s) {
            connect(box, &PictureBox::pressed, this, &MainWindow::show_operation_help);
            connect(link, &LinkLabel::pressed, this, &MainWindow::show_operation_help);
        } else {
            // The picture opens the address its link text carries, as the link does.
            const auto open = [this, link] { desktop_.open_link(link->address()); };
            connect(box, &PictureBox::pressed, this, open);
            connect(link, &LinkLabel::pressed, this, open);
        }
    }
    auto* banner = place(new PictureBox(u":/pictures/banner.svg"_s, this), u"图片框官网"_s, 320, 0, 344, 90);
    connect(banner, &PictureBox::pressed, this,
            [this] { desktop_.open_link(QString::fromUtf8(links::home_page)); });

    auto* line = place(new QFrame(this), u"标签10"_s, 0, 91, kClientWidth, 2);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
}

void MainWindow::build_step_one() {
    auto* group = place(new QGroupBox(u"第一步：采集商品ID,指定ID文件"_s, this), u"分组框1"_s, 8, 104, 648, 94);
    add_button(group, u"按钮按关键词"_s, u"采集商品ID_按关键词"_s, 8, 24, 304, 24);
    add_button(group, u"按钮按店铺"_s, u"采集商品ID_按店铺"_s, 328, 24, 304, 24);
    add_label(group, u"标签1"_s, u"商品ID文件："_s, 8, 58, 72, 24);
    add_edit(group, u"编辑框商品ID文件"_s, u"C:\\包含商品地址或商品ID的文本文件.txt"_s, 80, 58, 360, 24);
    auto* choose_file = add_button(group, u"按钮2"_s, u".."_s, 440, 58, 24, 24);
    place(new SpacedLabel(u"从第        个ID开始采集"_s, group), u"标签9"_s, 488, 58, 144, 24);
    // Lies over the gap in the label.
    add_edit(group, u"编辑框序号"_s, u"1"_s, 520, 58, 32, 24)->raise();

    connect(choose_file, &QPushButton::clicked, this, &MainWindow::choose_item_file);
    // The two harvesting windows come with their own work; the buttons open nothing yet.
}

void MainWindow::build_step_two() {
    auto* group = place(new QGroupBox(u"第二步：采集设置"_s, this), u"分组框2"_s, 8, 208, 648, 93);
    add_label(group, u"标签8"_s, u"评论类型："_s, 8, 24, 60, 24);
    auto* type = place(new QComboBox(group), u"组合框类型"_s, 71, 26, 65, 20);
    type->addItems({u"全部"_s, u"好评"_s, u"中评"_s, u"差评"_s, u"追评"_s});
    type->setCurrentIndex(1);
    add_label(group, u"标签7"_s, u"评论最少字数："_s, 160, 24, 88, 24);
    add_edit(group, u"编辑框字数"_s, u"5"_s, 248, 24, 48, 24);
    add_label(group, u"标签4"_s, u"采集页数："_s, 336, 24, 64, 24);
    add_edit(group, u"编辑框页数"_s, u"10"_s, 400, 24, 48, 24);
    add_check(group, u"选择框标题打乱"_s, u"标题打乱"_s, true, 488, 24, 68, 24);
    add_check(group, u"选择框内容打乱"_s, u"内容打乱"_s, true, 571, 24, 68, 24);
    auto* replace = add_check(group, u"选择框过滤"_s, u"替 换："_s, false, 8, 56, 72, 24);
    add_edit(group, u"编辑框匹配式"_s, u"字符1|字符2|字符3"_s, 72, 56, 245, 24);
    add_label(group, u"标签6"_s, u"为"_s, 323, 56, 12, 24);
    add_edit(group, u"编辑框替换式"_s, u"新字符1|新字符2|新字符3"_s, 339, 56, 221, 24);
    add_check(group, u"选择框正则"_s, u"正则模式"_s, false, 571, 61, 68, 16);

    connect(replace, &QCheckBox::clicked, this, &MainWindow::apply_replace_rule);
}

void MainWindow::build_step_three() {
    auto* group = place(new QGroupBox(u"第三步：保存设置,开始采集"_s, this), u"分组框3"_s, 8, 312, 648, 216);
    add_label(group, u"标签3"_s, u"保存模板："_s, 8, 16, 64, 24);
    auto* reference = add_button(group, u"按钮引用说明"_s, u"查看引用说明"_s, 72, 16, 88, 24);
    auto* start = add_button(group, u"按钮采集"_s, u"开始采集"_s, 256, 8, 248, 32);
    add_check(group, u"选择框仅信息框"_s, u"仅信息框快速预览"_s, false, 518, 8, 120, 32);
    auto* templ = place(new QPlainTextEdit(group), u"编辑框组合"_s, 8, 40, 624, 128);
    templ->setPlainText(u"【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\n"
                        u"#分隔##买家#Ta说：#评论#\n"
                        u"#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\n"_s);
    add_label(group, u"标签5"_s, u"保存目录："_s, 8, 176, 64, 24);
    add_edit(group, u"编辑框保存目录"_s, u"C:\\采集的淘宝"_s, 72, 176, 496, 24);
    add_edit(group, u"编辑框扩展名"_s, u"txt"_s, 568, 176, 40, 24);
    auto* choose_directory = add_button(group, u"按钮选择目录"_s, u".."_s, 609, 176, 24, 24);

    connect(reference, &QPushButton::clicked, this, &MainWindow::show_template_reference);
    connect(start, &QPushButton::clicked, this, &MainWindow::start_clicked);
    connect(choose_directory, &QPushButton::clicked, this, &MainWindow::choose_output_directory);
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !loaded_) load_settings();
    return QWidget::event(event);
}

// A click or a close can reach the window before it was ever activated (no
// window manager, a click that activates): load first, so a run never uses
// the initial values and a close never overwrites the file with them.
void MainWindow::ensure_settings_loaded() {
    if (!loaded_) load_settings();
}

void MainWindow::load_settings() {
    loaded_ = true;
    load_main_window_settings(settings_, access_);
    apply_replace_rule();
}

void MainWindow::save_settings() { save_main_window_settings(settings_, access_); }

void MainWindow::closeEvent(QCloseEvent* event) {
    ensure_settings_loaded();
    save_settings();
    // A run still in progress stops at its next check instead of going on
    // behind a window that is gone.
    if (run_ && run_->running() && access_.text("按钮采集"_gbk) != "正在停止.."_gbk) run_->click_start();
    event->accept();
}

void MainWindow::apply_replace_rule() {
    const bool enabled = findChild<QCheckBox*>(u"选择框过滤"_s)->isChecked();
    for (const QString& name : {u"编辑框匹配式"_s, u"编辑框替换式"_s, u"选择框正则"_s})
        findChild<QWidget*>(name)->setEnabled(enabled);
}

void MainWindow::choose_item_file() {
    auto* path = findChild<QLineEdit*>(u"编辑框商品ID文件"_s);
    const QString chosen =
        desktop_.choose_file(this, path->text(), u"文本文件(*.txt);;全部文件(*.*)"_s, u"txt"_s);
    if (!chosen.isEmpty()) path->setText(chosen);
}

void MainWindow::choose_output_directory() {
    auto* directory = findChild<QLineEdit*>(u"编辑框保存目录"_s);
    const QString chosen = desktop_.choose_folder(u"选择一个保存的目录："_s, directory->text()).trimmed();
    if (!chosen.isEmpty()) directory->setText(chosen);
}

void MainWindow::save_from_toolbar() {
    ensure_settings_loaded();
    save_settings();
    messages_.show_message("保存完毕！"_gbk, info_title(), MessageIcon::none, MessageButtons::ok);
}

void MainWindow::show_operation_help() {
    messages_.show_message(operation_help_text(), info_title(), MessageIcon::none, MessageButtons::ok);
}

void MainWindow::show_template_reference() {
    std::string unused;
    show_text_dialog(dialog_args_, messages_, desktop_, unused, this, "模板里引用评论项目，下面是可引用项目说明："_gbk,
                     {}, template_reference_text(), {}, 0, 0, 0, true, false, 0, false);
}

void MainWindow::start_clicked() {
    ensure_settings_loaded();
    if (run_) run_->click_start();
}

}  // namespace qm
