#include "ui/qt_window_access.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "ui/qt_text.h"

namespace qm {

QWidget* QtWindowAccess::find(std::string_view control) const {
    const QString name = from_gbk(control);
    if (root_.objectName() == name) return &root_;
    return root_.findChild<QWidget*>(name);
}

std::string QtWindowAccess::text(std::string_view control) {
    QWidget* w = find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return to_gbk(edit->text());
    if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return lines_to_gbk(box->toPlainText());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return to_gbk(button->text());
    if (auto* label = qobject_cast<QLabel*>(w)) return to_gbk(label->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) return to_gbk(group->title());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return to_gbk(combo->currentText());
    if (w && w->isWindow()) return to_gbk(w->windowTitle());
    return {};
}

void QtWindowAccess::set_text(std::string_view control, std::string_view value) {
    QWidget* w = find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(from_gbk(value));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        box->setPlainText(lines_from_gbk(value));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(from_gbk(value));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(from_gbk(value));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(from_gbk(value));
    } else if (w && w->isWindow()) {
        w->setWindowTitle(from_gbk(value));
    }
}

bool QtWindowAccess::is_checked(std::string_view control) {
    auto* button = qobject_cast<QAbstractButton*>(find(control));
    return button && button->isCheckable() && button->isChecked();
}

void QtWindowAccess::set_checked(std::string_view control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(find(control));
    if (button && button->isCheckable()) button->setChecked(checked);
}

int QtWindowAccess::selected_index(std::string_view control) {
    auto* combo = qobject_cast<QComboBox*>(find(control));
    return combo ? combo->currentIndex() : -1;
}

void QtWindowAccess::set_selected_index(std::string_view control, int index) {
    auto* combo = qobject_cast<QComboBox*>(find(control));
    if (combo && index >= 0 && index < combo->count()) combo->setCurrentIndex(index);
}

}  // namespace qm
