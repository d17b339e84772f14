#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "settings/main_window_settings.h"
#include "ui/help_texts.h"
#include "ui/window_font.h"
#include "window_harness.h"

using namespace Qt::Literals::StringLiterals;
using qm::operator""_gbk;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<WindowHarness> h;

    void click_check(const char* name) {
        auto* box = h->control<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    bool replace_controls_enabled(bool enabled) {
        return h->control<QLineEdit>("编辑框匹配式")->isEnabled() == enabled &&
               h->control<QLineEdit>("编辑框替换式")->isEnabled() == enabled &&
               h->control<QCheckBox>("选择框正则")->isEnabled() == enabled;
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        h = std::make_unique<WindowHarness>(dir->path());
    }
    void cleanup() {
        h.reset();
        dir.reset();
    }

    void first_start_shows_initial_values() {
        QVERIFY(h->show_and_activate());
        QVERIFY(!QFile::exists(h->settings_path()));
        QCOMPARE(h->window().windowTitle(), u"Quillmere v1.51 - 批量采集淘宝商品评论数据 智能引用全部数据类型"_s);
        QCOMPARE(h->window().size(), QSize(664, 540));

        const struct {
            const char* control;
            std::string text;
        } texts[] = {
            {"编辑框商品ID文件", qm::platform_initial_path("C:\\包含商品地址或商品ID的文本文件.txt"_gbk)},
            {"编辑框序号", "1"},
            {"编辑框字数", "5"},
            {"编辑框页数", "10"},
            {"编辑框匹配式", "字符1|字符2|字符3"_gbk},
            {"编辑框替换式", "新字符1|新字符2|新字符3"_gbk},
            {"编辑框组合", "【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\r\n#分隔##买家#Ta说：#评论#\r\n"
                           "#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\r\n"_gbk},
            {"编辑框保存目录", qm::platform_initial_path("C:\\采集的淘宝"_gbk)},
            {"编辑框扩展名", "txt"},
            {"按钮采集", "开始采集"_gbk},
            {"标签9", "从第        个ID开始采集"_gbk},
            {"选择框过滤", "替 换："_gbk},
            {"超级链接框QQ", "呼叫Fenwold"_gbk},
            {"分组框3", "第三步：保存设置,开始采集"_gbk},
        };
        for (const auto& t : texts) QCOMPARE(qm::gbk_to_utf8(h->text(t.control)), qm::gbk_to_utf8(t.text));
#ifndef _WIN32
        QVERIFY(!QString::fromStdString(qm::gbk_to_utf8(h->text("编辑框保存目录"))).contains(QLatin1Char('\\')));
#endif

        auto* type = h->control<QComboBox>("组合框类型");
        QCOMPARE(type->count(), 5);
        QCOMPARE(type->itemText(4), u"追评"_s);
        QCOMPARE(type->currentIndex(), 1);
        QVERIFY(!type->isEditable());

        const struct {
            const char* control;
            bool checked;
        } checks[] = {{"选择框标题打乱", true}, {"选择框内容打乱", true}, {"选择框过滤", false},
                      {"选择框正则", false}, {"选择框仅信息框", false}};
        for (const auto& c : checks) QCOMPARE(h->control<QCheckBox>(c.control)->isChecked(), c.checked);
        QVERIFY(replace_controls_enabled(false));
    }

    void controls_sit_where_designed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        const struct {
            const char* name;
            QRect place;
        } rows[] = {
            {"图片框保存", {0, 0, 64, 90}},       {"超级链接框保存", {0, 63, 63, 24}},
            {"图片框QQ", {256, 0, 64, 90}},       {"图片框官网", {320, 0, 344, 90}},
            {"标签10", {0, 91, 664, 2}},          {"分组框1", {8, 104, 648, 94}},
            {"按钮按店铺", {328, 24, 304, 24}},   {"编辑框商品ID文件", {80, 58, 360, 24}},
            {"编辑框序号", {520, 58, 32, 24}},    {"分组框2", {8, 208, 648, 93}},
            {"组合框类型", {71, 26, 65, 20}},     {"选择框正则", {571, 61, 68, 16}},
            {"编辑框替换式", {339, 56, 221, 24}}, {"分组框3", {8, 312, 648, 216}},
            {"按钮采集", {256, 8, 248, 32}},      {"编辑框组合", {8, 40, 624, 128}},
            {"按钮选择目录", {609, 176, 24, 24}},
        };
        for (const auto& r : rows) QTest::newRow(r.name) << QString::fromUtf8(r.name) << r.place;
    }
    void controls_sit_where_designed() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QWidget* control = h->window().findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
    }

    void replace_box_enables_and_disables() {
        QVERIFY(h->show_and_activate());
        h->control<QLineEdit>("编辑框匹配式")->setText(u"甲|乙"_s);
        click_check("选择框过滤");
        QVERIFY(h->control<QCheckBox>("选择框过滤")->isChecked());
        QVERIFY(replace_controls_enabled(true));
        click_check("选择框过滤");
        QVERIFY(replace_controls_enabled(false));
        QCOMPARE(h->control<QLineEdit>("编辑框匹配式")->text(), u"甲|乙"_s);
    }

    void save_link_and_closing_write_the_same_and_a_restart_restores() {
        QVERIFY(h->show_and_activate());
        const std::string templ = "第一行 #评论#\r\n#分隔#第二行 #买家#\r\n"_gbk;
        h->set_text("编辑框组合", templ);
        h->set_text("编辑框商品ID文件", "/data/商品.txt"_gbk);
        h->set_text("编辑框保存目录", "/data/输出"_gbk);
        h->set_text("编辑框扩展名", "text");
        h->set_text("编辑框匹配式", "");
        h->set_text("编辑框替换式", "一|二"_gbk);
        h->set_text("编辑框字数", "12");
        h->set_text("编辑框页数", "0");
        h->set_text("编辑框序号", "7");
        h->control<QComboBox>("组合框类型")->setCurrentIndex(4);
        h->control<QCheckBox>("选择框过滤")->setChecked(true);
        h->control<QCheckBox>("选择框标题打乱")->setChecked(false);
        h->control<QCheckBox>("选择框正则")->setChecked(true);
        h->control<QCheckBox>("选择框仅信息框")->setChecked(true);

        QTest::mouseClick(h->control<QLabel>("超级链接框保存"), Qt::LeftButton);
        QCOMPARE(h->messages().messages().size(), 1u);
        QCOMPARE(h->messages().messages()[0].text, "保存完毕！"_gbk);
        QCOMPARE(h->messages().messages()[0].title, "信息："_gbk);
        QCOMPARE(h->messages().messages()[0].icon, qm::MessageIcon::none);
        const QByteArray saved_by_link = h->settings_bytes();
        QVERIFY(saved_by_link.contains(QByteArray::fromStdString("评论类型"_gbk + "=4")));
        QCOMPARE(saved_by_link.count('='), 15);

        QFile::remove(h->settings_path());
        h->window().close();
        QCOMPARE(h->settings_bytes(), saved_by_link);

        h->open_window();
        QVERIFY(h->show_and_activate());
        QCOMPARE(h->text("编辑框组合"), templ);
        QCOMPARE(h->text("编辑框商品ID文件"), "/data/商品.txt"_gbk);
        QCOMPARE(h->text("编辑框保存目录"), "/data/输出"_gbk);
        QCOMPARE(h->text("编辑框扩展名"), std::string("text"));
        QCOMPARE(h->text("编辑框匹配式"), std::string());
        QCOMPARE(h->text("编辑框替换式"), "一|二"_gbk);
        QCOMPARE(h->text("编辑框字数"), std::string("12"));
        QCOMPARE(h->text("编辑框页数"), std::string("0"));
        QCOMPARE(h->text("编辑框序号"), std::string("7"));
        QCOMPARE(h->control<QComboBox>("组合框类型")->currentIndex(), 4);
        QVERIFY(h->control<QCheckBox>("选择框过滤")->isChecked());
        QVERIFY(!h->control<QCheckBox>("选择框标题打乱")->isChecked());
        QVERIFY(h->control<QCheckBox>("选择框内容打乱")->isChecked());
        QVERIFY(h->control<QCheckBox>("选择框正则")->isChecked());
        QVERIFY(h->control<QCheckBox>("选择框仅信息框")->isChecked());
        // The replace rule follows the loaded box.
        QVERIFY(replace_controls_enabled(true));
    }

    void closing_before_any_activation_keeps_the_saved_settings() {
        QVERIFY(h->show_and_activate());
        h->set_text("编辑框序号", "7");
        h->set_text("编辑框保存目录", "/data/输出"_gbk);
        QTest::mouseClick(h->control<QLabel>("超级链接框保存"), Qt::LeftButton);
        const QByteArray saved = h->settings_bytes();
        h->window().close();

        // A window that is closed before it was ever activated must not
        // overwrite the file with its initial values.
        h->open_window();
        h->window().close();
        QCOMPARE(h->settings_bytes(), saved);
    }

    void item_file_chooser() {
        auto* path = h->control<QLineEdit>("编辑框商品ID文件");
        path->setText(u"/tmp/旧.txt"_s);
        h->desktop().file_answer.clear();  // cancelled
        QTest::mouseClick(h->control<QPushButton>("按钮2"), Qt::LeftButton);
        QCOMPARE(h->desktop().last_preset, u"/tmp/旧.txt"_s);
        QCOMPARE(path->text(), u"/tmp/旧.txt"_s);
        h->desktop().file_answer = u"/tmp/新.txt"_s;
        QTest::mouseClick(h->control<QPushButton>("按钮2"), Qt::LeftButton);
        QCOMPARE(path->text(), u"/tmp/新.txt"_s);
    }

    void folder_chooser() {
        auto* directory = h->control<QLineEdit>("编辑框保存目录");
        directory->setText(u"/tmp/旧"_s);
        QTest::mouseClick(h->control<QPushButton>("按钮选择目录"), Qt::LeftButton);
        QCOMPARE(h->desktop().last_title, u"选择一个保存的目录："_s);
        QCOMPARE(h->desktop().last_start, u"/tmp/旧"_s);
        QCOMPARE(directory->text(), u"/tmp/旧"_s);
        h->desktop().folder_answer = u"  /tmp/新 目录 "_s;
        QTest::mouseClick(h->control<QPushButton>("按钮选择目录"), Qt::LeftButton);
        QCOMPARE(directory->text(), u"/tmp/新 目录"_s);
    }

    void operation_help_and_links() {
        QTest::mouseClick(h->control<QWidget>("图片框操作"), Qt::LeftButton, {}, QPoint(30, 20));
        QTest::mouseClick(h->control<QLabel>("超级链接框操作"), Qt::LeftButton);
        QCOMPARE(h->messages().messages().size(), 2u);
        for (const qm::RecordedMessage& m : h->messages().messages()) {
            QCOMPARE(m.text, qm::operation_help_text());
            QCOMPARE(m.title, "信息："_gbk);
            QCOMPARE(m.icon, qm::MessageIcon::none);
        }
        QVERIFY(qm::operation_help_text().find("\r\n\r\n" + "【采集页数】"_gbk) != std::string::npos);

        QTest::mouseClick(h->control<QWidget>("图片框QQ"), Qt::LeftButton, {}, QPoint(30, 20));
        QTest::mouseClick(h->control<QLabel>("超级链接框软件"), Qt::LeftButton);
        QTest::mouseClick(h->control<QWidget>("图片框更新"), Qt::LeftButton, {}, QPoint(30, 20));
        QTest::mouseClick(h->control<QWidget>("图片框官网"), Qt::LeftButton, {}, QPoint(100, 40));
        const QStringList expected = {QString::fromUtf8(qm::links::contact_page),
                                      QString::fromUtf8(qm::links::software_page),
                                      QString::fromUtf8(qm::links::updates_page),
                                      QString::fromUtf8(qm::links::home_page)};
        QCOMPARE(h->desktop().opened_links, expected);
    }

    void reference_button_opens_the_info_dialog() {
        QVERIFY(h->show_and_activate());
        QString body;
        bool read_only = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QCOMPARE(dialog->parentWidget(), &h->window());
            auto* box = dialog->findChild<QPlainTextEdit*>(u"编辑框正文"_s);
            body = box->toPlainText();
            read_only = box->isReadOnly();
            dialog->findChild<QPushButton*>(u"按钮取消"_s)->click();
        });
        QTest::mouseClick(h->control<QPushButton>("按钮引用说明"), Qt::LeftButton);
        QVERIFY(read_only);
        QCOMPARE(qm::lines_to_gbk(body), qm::template_reference_text());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qm::use_window_font();
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
