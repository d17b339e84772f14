// Two timings of the window program:
//  - process start to the main window's first paint (the program starts
//    itself as a child, which paints its window and says so on stdout);
//  - the longest gap between two pending-events calls during a 100-page
//    collection from the start button against the simulated marketplace.
// Usage: ui_startup_timing [runs]   (offscreen platform recommended)
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "collect/collection_run.h"
#include "collect/file_system.h"
#include "market_sim.h"
#include "settings/network_settings.h"
#include "settings/recording_message_boxes.h"
#include "settings/settings_file.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/regex_object.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/qt_message_boxes.h"
#include "ui/qt_pending_events.h"
#include "ui/qt_text.h"
#include "ui/settings_location.h"
#include "ui/text_dialog.h"
#include "ui/window_font.h"
#include "web/web_access.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done) {
            done = true;
            std::printf("painted\n");
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
    bool done = false;
};

// What the program does up to its first paint, the same steps as its main().
int child(int argc, char** argv) {
    QApplication app(argc, argv);
    qm::use_window_font();
    qm::install_qt_pending_events_hook();
    qm::SettingsFile settings;
    QTemporaryDir dir;
    settings.open(qm::to_gbk(qm::settings_file_location(dir.path(), dir.path())));
    qm::WebAccess web;
    qm::RegexInstances regex;
    qm::TextDialogArgs dialog_args;
    qm::QtMessageBoxes messages;
    qm::QtDesktop desktop;
    const qm::NetworkSettings network = qm::read_network_settings(settings);
    qm::MainWindow window(settings, messages, desktop, dialog_args);
    qm::CollectionRun run({window.access(), messages, web, regex, network.request_interval_ms});
    window.set_collection_run(&run);
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    return app.exec();
}

double start_to_paint_ms(const QString& self) {
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(self, {u"--child"_s});
    if (!process.waitForStarted(5000)) return -1;
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000)) return -1;
    }
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    process.waitForFinished(5000);
    return elapsed;
}

double longest_gap_ms() {
    qm::sim::Fixture fixture;
    fixture.page_size = 20;
    qm::sim::Item item;
    item.id = "70001";
    item.title = "百页商品";
    item.seller_id = "3001";
    for (int r = 1; r <= 2000; ++r) {
        qm::sim::Review review;
        review.buyer = "买家" + std::to_string(r);
        review.date = "2024-05-06";
        review.content = "这是第" + std::to_string(r) + "条评论，质量很好，物流也快。";
        item.reviews.push_back(review);
    }
    fixture.items.push_back(item);
    qm::sim::MarketSim sim(fixture);
    if (!sim.start()) return -1;

    QTemporaryDir dir;
    qm::SettingsFile settings;
    settings.open(qm::to_gbk(QDir(dir.path()).filePath(u"主配置文件.ini"_s)));
    qm::WebAccess web;
    web.set_default_proxy(sim.proxy());
    qm::RegexInstances regex;
    qm::TextDialogArgs dialog_args;
    qm::RecordingMessageBoxes messages;
    qm::QtDesktop desktop;
    qm::MainWindow window(settings, messages, desktop, dialog_args);
    qm::CollectionRun run({window.access(), messages, web, regex, 0});
    window.set_collection_run(&run);
    window.show();

    const QString list = QDir(dir.path()).filePath(u"items.txt"_s);
    qm::write_bytes(qm::to_gbk(list), "70001\r\n");
    window.access().set_text(qm::utf8_to_gbk("编辑框商品ID文件"), qm::to_gbk(list));
    window.access().set_text(qm::utf8_to_gbk("编辑框保存目录"), qm::to_gbk(dir.path()));
    window.access().set_text(qm::utf8_to_gbk("编辑框字数"), "0");
    window.access().set_text(qm::utf8_to_gbk("编辑框页数"), "0");
    window.access().set_selected_index(qm::utf8_to_gbk("组合框类型"), 0);

    using clock = std::chrono::steady_clock;
    clock::time_point last{};
    double longest = 0;
    long calls = 0;
    qm::set_pending_events_hook([&] {
        const auto now = clock::now();
        if (calls++ > 0) longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        const bool handled = qm::run_qt_pending_events();
        last = clock::now();
        return handled;
    });
    QElapsedTimer total;
    total.start();
    QTest::mouseClick(window.findChild<QPushButton*>(u"按钮采集"_s), Qt::LeftButton);
    qm::set_pending_events_hook({});
    const std::size_t pages = sim.request_count();
    std::printf("collection: %zu requests, %ld pending-events calls, %.0f ms in all\n", pages, calls,
                static_cast<double>(total.elapsed()));
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--child") return child(argc, argv);
    QApplication app(argc, argv);
    qm::use_window_font();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(start_to_paint_ms(QCoreApplication::applicationFilePath()));
    std::sort(times.begin(), times.end());
    std::printf("process start to first paint over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", runs,
                times.front(), times[times.size() / 2], times.back());

    const double gap = longest_gap_ms();
    std::printf("longest gap between pending-events calls: %.1f ms\n", gap);
    return 0;
}
