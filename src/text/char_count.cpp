#include "text/char_count.h"

namespace qm {

int char_count(std::string_view text, int line_break_mode) {
    int count = 0;
    bool half = false;  // runs across the whole text, one-byte characters do not reset it
    auto add_half = [&] {
        if (half) ++count;
        half = !half;
    };
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r' || c == '\n') {
            if (line_break_mode == 0) continue;
            if (line_break_mode == 2) {
                if (c == '\n') count += 2;
                continue;
            }
            add_half();
        } else if (c >= 0x80) {
            add_half();
        } else {
            ++count;
        }
    }
    return count;
}

}  // namespace qm
