#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "fake_desktop.h"
#include "settings/recording_message_boxes.h"
#include "text/gbk.h"
#include "ui/help_texts.h"
#include "ui/qt_text.h"
#include "ui/text_dialog.h"
#include "ui/window_font.h"

using namespace Qt::Literals::StringLiterals;
using qm::operator""_gbk;

class TextDialogTest : public QObject {
    Q_OBJECT

private:
    qm::RecordingMessageBoxes messages;
    FakeDesktop desktop;
    qm::TextDialogArgs args;

    static QPlainTextEdit* body(QWidget* dialog) { return dialog->findChild<QPlainTextEdit*>(u"编辑框正文"_s); }
    static QPushButton* button(QWidget* dialog, const QString& name) {
        return dialog->findChild<QPushButton*>(name);
    }
    void edit_mode(std::string start, std::string fallback = {}) {
        args = qm::TextDialogArgs();
        args.prompt = "请输入数据："_gbk;
        args.title = "FenwoldTarrin："_gbk;
        args.start_value = std::move(start);
        args.default_value = std::move(fallback);
    }

private slots:
    void init() {
        messages.clear();
        desktop = FakeDesktop();
    }

    void prompt_layout_data() {
        QTest::addColumn<int>("client_width");
        QTest::addColumn<QByteArray>("prompt");
        QTest::addColumn<int>("chars_per_line");
        QTest::addColumn<int>("prompt_height");
        const std::string ten = "一二三四五六七八九十"_gbk;
        QTest::newRow("two lines of ten characters")
            << 400 << QByteArray::fromStdString(ten + "\r\n" + ten) << 65 << 24;
        QTest::newRow("a 200-byte line takes four rows") << 400 << QByteArray(200, 'x') << 65 << 48;
        QTest::newRow("a line of exactly one row") << 400 << QByteArray(65, 'x') << 65 << 12;
        QTest::newRow("empty lines count one each") << 400 << QByteArray("\r\n\r\n") << 65 << 36;
        QTest::newRow("no room for a character") << 15 << QByteArray::fromStdString(ten + "\r\n" + ten) << 0 << 24;
    }
    void prompt_layout() {
        QFETCH(int, client_width);
        QFETCH(QByteArray, prompt);
        QFETCH(int, chars_per_line);
        QFETCH(int, prompt_height);
        const qm::TextDialogLayout layout =
            qm::text_dialog_layout(client_width, 300, 5, prompt.toStdString(), 58, 80, 32);
        QCOMPARE(layout.chars_per_line, chars_per_line);
        QCOMPARE(layout.prompt_height, prompt_height);
    }

    // The arithmetic is applied to the real controls on every resize.
    void resize_places_controls() {
        edit_mode({});
        args.prompt = "一二三四五六七八九十"_gbk + "\r\n" + "一二三四五六七八九十"_gbk;
        qm::TextDialog dialog(args, messages, desktop);
        dialog.show();
        dialog.resize(400, 300);
        QTRY_COMPARE(dialog.findChild<QPlainTextEdit*>(u"编辑框提示"_s)->geometry(), QRect(5, 5, 390, 24));
        QCOMPARE(body(&dialog)->geometry(), QRect(5, 34, 390, 300 - 34 - 58));
        QCOMPARE(dialog.findChild<QFrame*>(u"外形框"_s)->geometry(), QRect(0, 242, 195, 58));
        QCOMPARE(button(&dialog, u"按钮取消"_s)->pos(), QPoint(400 - 5 - 80, 242 + 29 - 16));
        QCOMPARE(button(&dialog, u"按钮确定"_s)->pos(), QPoint(400 - 5 - 80 - 5 - 80, 242 + 29 - 16));

        dialog.resize(600, 400);
        QTRY_COMPARE(dialog.findChild<QPlainTextEdit*>(u"编辑框提示"_s)->geometry(), QRect(5, 5, 590, 24));
        QCOMPARE(button(&dialog, u"按钮取消"_s)->x(), 600 - 5 - 80);
    }

    void content_size_and_margin() {
        edit_mode({});
        args.content_width = 300;
        args.content_height = 200;
        args.margin = 10;
        qm::TextDialog dialog(args, messages, desktop);
        QCOMPARE(dialog.width(), 300 + 2 * 10);
        QCOMPARE(dialog.height(), 33 + 2 * 10 + 200 + 3 * 10 + 32);
        QCOMPARE(body(&dialog)->x(), 10);
    }

    // The system's own call: the template reference, read-only, one close button.
    void info_mode_shows_reference() {
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            inspected = true;
            QCOMPARE(dialog->windowTitle(), u"FenwoldTarrin："_s);
            auto* prompt = dialog->findChild<QPlainTextEdit*>(u"编辑框提示"_s);
            QCOMPARE(prompt->toPlainText(), u"模板里引用评论项目，下面是可引用项目说明："_s);
            QVERIFY(prompt->font().bold());
            QVERIFY(body(dialog)->isReadOnly());
            QCOMPARE(qm::lines_to_gbk(body(dialog)->toPlainText()), qm::template_reference_text());
            QCOMPARE(body(dialog)->palette().color(QPalette::Base), dialog->palette().color(QPalette::Button));
            QVERIFY(button(dialog, u"按钮确定"_s)->isHidden());
            QVERIFY(dialog->findChild<QFrame*>(u"外形框"_s)->isHidden());
            QPushButton* close = button(dialog, u"按钮取消"_s);
            QCOMPARE(close->text(), u"关闭(&G)"_s);
            QVERIFY(close->isDefault());
            QVERIFY(close->isVisible());
            close->click();
        });
        std::string result = "untouched";
        const bool confirmed = qm::show_text_dialog(args, messages, desktop, result, nullptr,
                                                    "模板里引用评论项目，下面是可引用项目说明："_gbk, {},
                                                    qm::template_reference_text(), {}, 0, 0, 0, true);
        QVERIFY(inspected);
        QVERIFY(!confirmed);
        QCOMPARE(result, std::string("untouched"));
        QVERIFY(messages.messages().empty());
    }

    void empty_prompt_and_title_get_defaults() {
        QString prompt, title;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            prompt = dialog->findChild<QPlainTextEdit*>(u"编辑框提示"_s)->toPlainText();
            title = dialog->windowTitle();
            body(dialog)->setPlainText(u"第一行\n第二行"_s);
            button(dialog, u"按钮确定"_s)->click();
        });
        std::string result;
        QVERIFY(qm::show_text_dialog(args, messages, desktop, result, nullptr, {}, {}, "x"));
        QCOMPARE(prompt, u"请输入数据："_s);
        QCOMPARE(title, u"FenwoldTarrin："_s);
        // The core gets CR LF between lines.
        QCOMPARE(result, "第一行"_gbk + "\r\n" + "第二行"_gbk);
    }

    void close_box_asks_when_edited() {
        edit_mode("原文"_gbk);
        qm::TextDialog dialog(args, messages, desktop);
        dialog.show();

        dialog.close();  // unchanged: closes without asking
        QVERIFY(!dialog.isVisible());
        QVERIFY(messages.messages().empty());

        dialog.show();
        body(&dialog)->setPlainText(u"改过的"_s);
        messages.queue_answer(qm::MessageAnswer::no);
        dialog.close();
        QVERIFY(dialog.isVisible());
        QCOMPARE(body(&dialog)->toPlainText(), u"改过的"_s);
        QCOMPARE(messages.messages().size(), 1u);
        const qm::RecordedMessage& question = messages.messages()[0];
        QCOMPARE(question.text, "内容已被改动，是否要放弃？"_gbk);
        QCOMPARE(question.title, "FenwoldTarrin："_gbk);
        QCOMPARE(question.buttons, qm::MessageButtons::yes_no);
        QCOMPARE(question.icon, qm::MessageIcon::warning);

        messages.queue_answer(qm::MessageAnswer::yes);
        dialog.close();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!args.confirmed);
        QVERIFY(args.result.empty());
    }

    void cancel_closes_without_asking() {
        edit_mode("原文"_gbk);
        qm::TextDialog dialog(args, messages, desktop);
        dialog.show();
        body(&dialog)->setPlainText(u"改过的"_s);
        button(&dialog, u"按钮取消"_s)->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(messages.messages().empty());
        QVERIFY(!args.confirmed);
    }

    void restore_buttons() {
        edit_mode("启动"_gbk, "默认"_gbk);
        qm::TextDialog dialog(args, messages, desktop);
        body(&dialog)->setPlainText(u"别的"_s);
        button(&dialog, u"按钮恢复默认"_s)->click();
        QCOMPARE(body(&dialog)->toPlainText(), u"默认"_s);
        button(&dialog, u"按钮恢复启动"_s)->click();
        QCOMPARE(body(&dialog)->toPlainText(), u"启动"_s);
        QVERIFY(messages.messages().empty());

        edit_mode({}, {});
        qm::TextDialog empty(args, messages, desktop);
        button(&empty, u"按钮恢复启动"_s)->click();
        button(&empty, u"按钮恢复默认"_s)->click();
        QCOMPARE(messages.messages().size(), 2u);
        QCOMPARE(messages.messages()[0].text, "启动值为空！"_gbk);
        QCOMPARE(messages.messages()[1].text, "默认值为空！"_gbk);
        QCOMPARE(messages.messages()[1].title, "FenwoldTarrin："_gbk);
    }

    void import_three_files_in_chooser_order() {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& bytes) -> QString {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::WriteOnly)) file.write(bytes);
            return dir.filePath(name);
        };
        const QString c = write(u"c.txt"_s, QByteArray::fromStdString("第三个"_gbk + "\r\n" + "两行"_gbk));
        const QString a = write(u"a.txt"_s, QByteArray("first\0hidden after NUL", 22));
        const QString b = write(u"b.txt"_s, QByteArray::fromStdString("乙"_gbk));
        QVERIFY(QFile::exists(c) && QFile::exists(a) && QFile::exists(b));
        desktop.files_answer = {c, a, dir.filePath(u"missing.txt"_s), b};

        edit_mode("开头"_gbk + "\r\n");
        qm::TextDialog dialog(args, messages, desktop);
        button(&dialog, u"按钮导入内容"_s)->click();
        QCOMPARE(desktop.last_title, u"选择多个文件，将导入其文件内容"_s);
        QCOMPARE(qm::lines_to_gbk(body(&dialog)->toPlainText()),
                 "开头"_gbk + "\r\n" + "第三个"_gbk + "\r\n" + "两行"_gbk + "\r\nfirst\r\n\r\n" + "乙"_gbk + "\r\n");

        body(&dialog)->clear();
        desktop.files_answer = {b, a};
        button(&dialog, u"按钮导入路径"_s)->click();
        QCOMPARE(desktop.last_title, u"选择多个文件，将导入其文件路径"_s);
        QCOMPARE(body(&dialog)->toPlainText(), b + u"\n"_s + a + u"\n"_s);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qm::use_window_font();
    TextDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "text_dialog_test.moc"
