#pragma once

// The main window as the app builds it, with message boxes and choosers the
// test answers, and its settings file in a directory of its own.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>

#include "collect/collection_run.h"
#include "fake_desktop.h"
#include "settings/recording_message_boxes.h"
#include "settings/settings_file.h"
#include "text/gbk.h"
#include "text/regex_object.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/text_dialog.h"
#include "web/web_access.h"

class WindowHarness {
public:
    explicit WindowHarness(const QString& dir) : dir_(dir) { open_window(); }

    // A new window on the same settings file, as after a restart.
    void open_window() {
        run_.reset();
        window_.reset();
        settings_ = std::make_unique<qm::SettingsFile>();
        settings_->open(qm::to_gbk(settings_path()));
        window_ = std::make_unique<qm::MainWindow>(*settings_, messages_, desktop_, dialog_args_);
        run_ = std::make_unique<qm::CollectionRun>(
            qm::CollectEnvironment{window_->access(), messages_, web_, regex_, 0});
        window_->set_collection_run(run_.get());
    }

    // Shows the window and waits for its first activation (which loads).
    bool show_and_activate() {
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get()) && window_->settings_loaded();
    }

    QString settings_path() const { return QDir(dir_).filePath(QStringLiteral("主配置文件.ini")); }
    QByteArray settings_bytes() const {
        QFile file(settings_path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    template <class W>
    W* control(const char* utf8_name) const {
        return window_->findChild<W*>(QString::fromUtf8(utf8_name));
    }
    // GBK texts through the window interface, as the core sees them.
    std::string text(const char* utf8_name) { return window_->access().text(qm::utf8_to_gbk(utf8_name)); }
    void set_text(const char* utf8_name, const std::string& gbk) {
        window_->access().set_text(qm::utf8_to_gbk(utf8_name), gbk);
    }

    qm::MainWindow& window() { return *window_; }
    qm::RecordingMessageBoxes& messages() { return messages_; }
    FakeDesktop& desktop() { return desktop_; }
    qm::WebAccess& web() { return web_; }
    qm::CollectionRun& run() { return *run_; }

private:
    QString dir_;
    qm::RecordingMessageBoxes messages_;
    FakeDesktop desktop_;
    qm::TextDialogArgs dialog_args_;
    qm::WebAccess web_;
    qm::RegexInstances regex_;
    std::unique_ptr<qm::SettingsFile> settings_;
    std::unique_ptr<qm::MainWindow> window_;
    std::unique_ptr<qm::CollectionRun> run_;
};
