#pragma once

#include <string_view>

#include "settings/window_access.h"

class QWidget;

namespace qm {

// The core's view of a Qt window: its child widgets by objectName (GBK in
// the core, UTF-8 in Qt). Edit boxes give their text (multi-line boxes with
// CR LF between lines), buttons, check boxes, labels and group boxes their
// caption, check boxes their checked state, drop-down lists their selection.
// An unknown control reads as empty, unchecked, index -1 and ignores writes.
class QtWindowAccess : public WindowAccess {
public:
    explicit QtWindowAccess(QWidget& root) : root_(root) {}
    QtWindowAccess(const QtWindowAccess&) = delete;
    QtWindowAccess& operator=(const QtWindowAccess&) = delete;

    std::string text(std::string_view control) override;
    void set_text(std::string_view control, std::string_view value) override;
    bool is_checked(std::string_view control) override;
    void set_checked(std::string_view control, bool checked) override;
    int selected_index(std::string_view control) override;
    // An index outside the list (a hand-edited settings file) keeps the
    // current selection: a drop-down list without typing always shows an entry.
    void set_selected_index(std::string_view control, int index) override;

private:
    QWidget* find(std::string_view control) const;

    QWidget& root_;
};

}  // namespace qm
