#pragma once

#include <QWidget>

#include "ui/qt_window_access.h"

namespace qm {

class CollectionRun;
class Desktop;
class MessageBoxes;
class SettingsFile;
struct TextDialogArgs;

// The main window: the toolbar band and the three steps. Its settings are
// loaded at the first activation and saved on closing and from the save
// picture; the start button hands its clicks to the collection run.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(SettingsFile& settings, MessageBoxes& messages, Desktop& desktop, TextDialogArgs& dialog_args,
               QWidget* parent = nullptr);

    // The window as the core sees it (controls by objectName).
    WindowAccess& access() { return access_; }
    // The run the start button drives; set once the run exists.
    void set_collection_run(CollectionRun* run) { run_ = run; }

    void load_settings();
    void ensure_settings_loaded();
    void save_settings();
    bool settings_loaded() const { return loaded_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_toolbar();
    void build_step_one();
    void build_step_two();
    void build_step_three();
    void apply_replace_rule();
    void choose_item_file();
    void choose_output_directory();
    void save_from_toolbar();
    void show_operation_help();
    void show_template_reference();
    void start_clicked();

    SettingsFile& settings_;
    MessageBoxes& messages_;
    Desktop& desktop_;
    TextDialogArgs& dialog_args_;
    QtWindowAccess access_;
    CollectionRun* run_ = nullptr;
    bool loaded_ = false;
};

}  // namespace qm
