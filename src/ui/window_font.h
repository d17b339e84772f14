#pragma once

namespace qm {

// The windows are laid out for a 12-pixel font whose Latin letters and
// blanks are half as wide as a Chinese character; this picks such a font
// for the whole application. Call after the QApplication exists.
void use_window_font();

}  // namespace qm
