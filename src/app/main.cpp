// The window program: creates the objects that live for the whole run, opens
// the settings file, shows the main window and runs the event loop.
#include <QApplication>

#include "collect/collection_run.h"
#include "settings/network_settings.h"
#include "settings/settings_file.h"
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"quillmere"_s);
    qm::use_window_font();
    qm::install_qt_pending_events_hook();

    qm::SettingsFile settings;
    settings.open(qm::to_gbk(qm::settings_file_location()));
    qm::WebAccess web;
    qm::RegexInstances regex;
    qm::TextDialogArgs dialog_args;
    qm::QtMessageBoxes messages;
    qm::QtDesktop desktop;

    const qm::NetworkSettings network = qm::read_network_settings(settings);
    web.set_default_proxy(network.proxy);

    qm::MainWindow window(settings, messages, desktop, dialog_args);
    qm::CollectionRun run({window.access(), messages, web, regex, network.request_interval_ms});
    window.set_collection_run(&run);
    window.show();
    const int status = app.exec();
    qm::set_pending_events_hook({});
    return status;
}
