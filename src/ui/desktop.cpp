#include "ui/desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace qm {

QString QtDesktop::choose_file(QWidget* parent, const QString& preset, const QString& filter,
                               const QString& default_suffix) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(default_suffix);
    const QFileInfo current(preset);
    if (!preset.isEmpty()) {
        if (current.dir().exists()) dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QStringList QtDesktop::choose_files(QWidget* parent, const QString& title, const QString& filter) {
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString QtDesktop::choose_folder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(nullptr, title, start, QFileDialog::ShowDirsOnly);
}

void QtDesktop::open_link(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

}  // namespace qm
