#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "collect/file_system.h"
#include "market_sim.h"
#include "text/pending_events.h"
#include "ui/qt_pending_events.h"
#include "ui/window_font.h"
#include "window_harness.h"

using namespace Qt::Literals::StringLiterals;
using qm::operator""_gbk;

namespace {

// Three Taobao items of twelve reviews, five to a review page.
qm::sim::Fixture three_items() {
    qm::sim::Fixture fixture;
    fixture.page_size = 5;
    const char* titles[] = {"春季新款 外套", "纯棉 T恤", "运动鞋"};
    for (int i = 0; i < 3; ++i) {
        qm::sim::Item item;
        item.id = "5000" + std::to_string(i + 1);
        item.market = qm::sim::Market::Taobao;
        item.title = titles[i];
        item.seller_id = "3001";
        for (int r = 1; r <= 12; ++r) {
            qm::sim::Review review;
            review.buyer = "买家" + std::to_string(r);
            review.date = "2024-05-06";
            review.content = "商品" + std::to_string(i + 1) + "的评论" + std::to_string(r);
            item.reviews.push_back(review);
        }
        fixture.items.push_back(item);
    }
    return fixture;
}

}  // namespace

class MainWindowRunTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<qm::sim::MarketSim> sim;
    std::unique_ptr<WindowHarness> h;

    QString out_dir() const { return QDir(dir->path()).filePath(u"输出"_s); }
    std::string output(const QString& title) {
        return qm::read_bytes(qm::to_gbk(QDir(out_dir()).filePath(title + u".txt"_s))).value_or("<none>");
    }
    QPushButton* start_button() { return h->control<QPushButton>("按钮采集"); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        sim = std::make_unique<qm::sim::MarketSim>(three_items());
        QVERIFY(sim->start());
        h = std::make_unique<WindowHarness>(dir->path());
        h->web().set_default_proxy(sim->proxy());
        qm::install_qt_pending_events_hook();
        QVERIFY(h->show_and_activate());

        const QString list = QDir(dir->path()).filePath(u"商品.txt"_s);
        QVERIFY(qm::write_bytes(qm::to_gbk(list), "50001\r\nhttp://item.taobao.com/item.htm?id=50002\r\n\r\n50003\r\n"));
        h->set_text("编辑框商品ID文件", qm::to_gbk(list));
        h->set_text("编辑框保存目录", qm::to_gbk(out_dir()));
        h->set_text("编辑框字数", "0");
        h->set_text("编辑框页数", "0");
        h->set_text("编辑框组合", "#买家#：#评论#\r\n"_gbk);
        h->control<QComboBox>("组合框类型")->setCurrentIndex(0);
        h->control<QCheckBox>("选择框标题打乱")->setChecked(false);
        h->control<QCheckBox>("选择框内容打乱")->setChecked(false);
    }
    void cleanup() {
        qm::set_pending_events_hook({});
        h.reset();
        sim.reset();
        dir.reset();
    }

    void start_button_runs_a_collection() {
        int hook_calls = 0;
        qm::set_pending_events_hook([&] {
            ++hook_calls;
            return qm::run_qt_pending_events();
        });
        QTest::mouseClick(start_button(), Qt::LeftButton);

        std::string expected;
        for (int r = 1; r <= 12; ++r)
            expected += "买家"_gbk + std::to_string(r) + "：商品1的评论"_gbk + std::to_string(r) + "\r\n";
        QCOMPARE(output(u"春季新款 外套"_s), expected);
        QVERIFY(output(u"纯棉 T恤"_s).find("商品2的评论12"_gbk) != std::string::npos);
        QVERIFY(output(u"运动鞋"_s).find("商品3的评论1\r\n"_gbk) != std::string::npos);
        QCOMPARE(QDir(out_dir()).entryList(QDir::Files).size(), 3);

        QCOMPARE(h->messages().messages().size(), 1u);
        QCOMPARE(h->messages().messages()[0].text, "采集完成！"_gbk);
        QCOMPARE(h->messages().messages()[0].title, "信息："_gbk);
        QCOMPARE(start_button()->text(), u"开始采集"_s);
        QCOMPARE(h->text("编辑框序号"), std::string("5"));
        // The window kept running its events throughout.
        QVERIFY(hook_calls >= 9);
    }

    // A click that arrives while the run waits for events stops it after the
    // item in hand.
    void second_click_stops_the_run() {
        QString caption_after_second_click;
        QTimer::singleShot(0, this, [&] {
            QTest::mouseClick(start_button(), Qt::LeftButton);
            caption_after_second_click = start_button()->text();
        });
        QTest::mouseClick(start_button(), Qt::LeftButton);

        QCOMPARE(caption_after_second_click, u"正在停止.."_s);
        QCOMPARE(start_button()->text(), u"开始采集"_s);
        // The first item stops at its first accepted review and is still written.
        QCOMPARE(QDir(out_dir()).entryList(QDir::Files), QStringList{u"春季新款 外套.txt"_s});
        QCOMPARE(output(u"春季新款 外套"_s), "买家1：商品1的评论1\r\n"_gbk);
        QCOMPARE(h->text("编辑框序号"), std::string("2"));
        QCOMPARE(h->messages().messages().size(), 1u);
        QCOMPARE(h->messages().messages()[0].text, "采集完成！"_gbk);
        for (const auto& request : sim->log()) QVERIFY(request.target.find("50002") == std::string::npos);
    }

    // Closing the window in the middle of a run saves and stops the run
    // instead of leaving it working behind a window that is gone.
    void closing_during_a_run_stops_it() {
        QTimer::singleShot(0, this, [&] { h->window().close(); });
        QTest::mouseClick(start_button(), Qt::LeftButton);
        QVERIFY(!h->window().isVisible());
        QVERIFY(QFile::exists(h->settings_path()));
        QCOMPARE(QDir(out_dir()).entryList(QDir::Files).size(), 1);
        QCOMPARE(start_button()->text(), u"开始采集"_s);
    }

    void hook_reports_whether_an_event_was_handled() {
        QCoreApplication::processEvents();
        QVERIFY(!qm::run_qt_pending_events());
        QObject target;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QVERIFY(qm::run_qt_pending_events());
        QVERIFY(!qm::run_qt_pending_events());
        // A timer's tick alone is not a window event.
        QTimer ticking;
        ticking.start(0);
        QVERIFY(!qm::run_qt_pending_events());
    }

    void missing_item_list_is_reported() {
        h->set_text("编辑框商品ID文件", qm::to_gbk(QDir(dir->path()).filePath(u"没有.txt"_s)));
        QTest::mouseClick(start_button(), Qt::LeftButton);
        QCOMPARE(h->messages().messages().size(), 1u);
        QCOMPARE(h->messages().messages()[0].text, "请先选择保存商品ID或商品地址的文本文件！"_gbk);
        QCOMPARE(start_button()->text(), u"开始采集"_s);
        QCOMPARE(h->text("编辑框序号"), std::string("1"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qm::use_window_font();
    MainWindowRunTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_run_test.moc"
