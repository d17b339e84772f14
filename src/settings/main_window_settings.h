#pragma once

#include <string>
#include <string_view>

namespace qm {

class SettingsFile;
class WindowAccess;

// The main window's settings live in the section "主窗口". Loading gives each
// control its stored value, its current value standing as the default; saving
// writes the same fifteen keys in the same order. Both set the section first.
// The window applies its replace rule (enabling the pattern boxes) itself
// after loading.
void load_main_window_settings(SettingsFile& settings, WindowAccess& window);
void save_main_window_settings(SettingsFile& settings, WindowAccess& window);

// Gives every control of the main window that holds a value its initial one:
// edit boxes, the captions of buttons, check boxes, labels and group boxes,
// the checked states, the review type "好评" and the default template. The
// two initial paths go through platform_initial_path.
void apply_main_window_initial_values(WindowAccess& window);

// The review types of "组合框类型", indexes 0 to 4 (GBK).
const std::string& review_type_name(int index);
constexpr int review_type_count = 5;

// An initial path as written for Windows, fitted to this platform: elsewhere
// a leading "C:" becomes the user's home directory and "\" becomes "/".
std::string platform_initial_path(std::string_view windows_path);

}  // namespace qm
