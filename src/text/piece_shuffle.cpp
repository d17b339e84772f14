#include "text/piece_shuffle.h"

#include <vector>

#include "text/char_count.h"
#include "text/pending_events.h"
#include "text/regex_object.h"
#include "text/text_primitives.h"
#include "text/unique_random_picker.h"

namespace qm {

namespace {

constexpr std::string_view piece_mark = "\xA1\xCD";  // ⊥

// A character class of exactly the separator characters. The hyphen is
// escaped too: unescaped between two others it would span a whole range.
std::string separator_class(std::string_view separators) {
    return "[" + replace_text(escape_literal(separators), "-", "\\-") + "]";
}

// The pieces between separator characters (and piece marks already in the text).
std::vector<std::string> cut_pieces(RegexObject& re, std::string_view text, std::string_view separators) {
    if (separators.empty()) return split_text(text, piece_mark);
    re.set_pattern(separator_class(separators));
    return split_text(re.replace(text, piece_mark), piece_mark);
}

}  // namespace

std::string pick_piece(std::string_view text, std::string_view separators, int min_length,
                       std::string_view required_word) {
    RegexObject re;
    const std::vector<std::string> pieces = cut_pieces(re, text, separators);
    const int n = static_cast<int>(pieces.size());
    if (n == 0) return {};
    UniqueRandomPicker picker;
    for (int step = 0; step < n; ++step) {
        run_pending_events();
        const std::string& piece = pieces[static_cast<size_t>(picker.draw(1, n)) - 1];
        if (piece.empty()) continue;
        if (min_length > 0 && char_count(piece) < min_length) continue;
        if (!required_word.empty() && find_text(piece, required_word) == -1) continue;
        return piece;
    }
    return pieces[static_cast<size_t>(random_between(1, n)) - 1];
}

std::string shuffle_pieces(std::string_view text, std::string_view separators) {
    // Without separator characters there is nothing to join the pieces with.
    if (separators.empty()) return std::string(text);
    RegexObject re;
    const std::vector<std::string> pieces = cut_pieces(re, text, separators);
    const int n = static_cast<int>(pieces.size());
    const int m = re.execute(separators);

    UniqueRandomPicker piece_picker, separator_picker;
    std::string result;
    bool after_empty = false;  // the piece just taken was empty
    for (int step = 0; step < n; ++step) {
        const std::string& piece = pieces[static_cast<size_t>(piece_picker.draw(1, n)) - 1];
        std::string joiner;
        if (piece.empty()) {
            // Where two separators stood together, a line break comes in 7 times out of 10.
            if (random_between(1, 10) < 8) joiner = "\r\n";
        } else {
            const int j = separator_picker.draw(1, m);
            if (!result.empty()) joiner = re.match_text(j, 0);
        }
        if (after_empty && !joiner.empty()) {
            if (!piece.empty()) {
                result += piece + joiner;
                after_empty = false;
            }
        } else {
            result += joiner + piece;
            after_empty = piece.empty();
        }
    }
    return result;
}

}  // namespace qm
