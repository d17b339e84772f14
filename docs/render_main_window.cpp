// Renders the main window as it first shows, for the README:
//   QT_QPA_PLATFORM=offscreen render_main_window docs/main_window.png [reference.png]
// With a second file it also renders the template reference dialog.
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include "settings/recording_message_boxes.h"
#include "settings/settings_file.h"
#include "text/gbk.h"
#include "ui/desktop.h"
#include "ui/help_texts.h"
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
    if (!window.grab().save(out)) return 1;
    if (argc > 2) {
        args.prompt = qm::utf8_to_gbk("模板里引用评论项目，下面是可引用项目说明：");
        args.title = qm::utf8_to_gbk("FenwoldTarrin：");
        args.start_value = qm::template_reference_text();
        args.info_mode = true;
        qm::TextDialog dialog(args, messages, desktop, &window);
        dialog.show();
        QApplication::processEvents();
        if (!dialog.grab().save(QString::fromLocal8Bit(argv[2]))) return 1;
    }
    return 0;
}
