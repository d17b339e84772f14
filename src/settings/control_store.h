#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings/window_access.h"

namespace qm {

// A window without a screen: the values of its controls by name (GBK). The
// headless collector runs on one, and tests use it in place of a real window.
// A control never set reads as empty text, not checked, and index -1.
class ControlStore : public WindowAccess {
public:
    ControlStore() = default;
    ControlStore(const ControlStore&) = delete;
    ControlStore& operator=(const ControlStore&) = delete;

    std::string text(std::string_view control) override;
    void set_text(std::string_view control, std::string_view value) override;
    bool is_checked(std::string_view control) override;
    void set_checked(std::string_view control, bool checked) override;
    int selected_index(std::string_view control) override;
    void set_selected_index(std::string_view control, int index) override;

    // Whether any value of the control has been set.
    bool has(std::string_view control) const;

private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, bool, std::less<>> checked_;
    std::map<std::string, int, std::less<>> indexes_;
};

}  // namespace qm
