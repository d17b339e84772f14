// Renders the main window as it first shows, for the README:
//   QT_QPA_PLATFORM=offscreen render_main_window docs/main_window.png
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include "settings/recording_message_boxes.h"
#include "settings/settings_file.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/text_dialog.h"
#include "ui/window_font.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qm::use_window_font();
    QTemporaryDir dir;
    qm::SettingsFile settings;
    settings.open(qm::to_gbk(dir.filePath(QStringLiteral("主配置文件.ini"))));
    qm::RecordingMessageBoxes messages;
    qm::QtDesktop desktop;
    qm::TextDialogArgs args;
    qm::MainWindow window(settings, messages, desktop, args);
    window.show();
    QApplication::processEvents();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main_window.png");
    return window.grab().save(out) ? 0 : 1;
}
