#pragma once

#include <string>
#include <string_view>

namespace qm {

// What the core reads from and writes to a window. Controls are named by
// their objectName (GBK here; the Qt layer converts). The windows implement
// it; tests and the headless collector implement it too.
class WindowAccess {
public:
    virtual ~WindowAccess() = default;

    // Text of an edit box, or the caption of a button or check box.
    virtual std::string text(std::string_view control) = 0;
    virtual void set_text(std::string_view control, std::string_view value) = 0;
    virtual bool is_checked(std::string_view control) = 0;
    virtual void set_checked(std::string_view control, bool checked) = 0;
    // Index of a combo box's selected entry, -1 when none.
    virtual int selected_index(std::string_view control) = 0;
    virtual void set_selected_index(std::string_view control, int index) = 0;
};

}  // namespace qm
