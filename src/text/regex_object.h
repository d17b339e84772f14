#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qm {

// A regular expression with one current pattern, three flags and the matches
// of the last execute. Texts are GBK; the engine works on characters.
// A pattern the engine rejects, or one that exceeds the match limit, behaves
// as rejected: 0 matches, false, empty texts.
class RegexObject {
public:
    enum Flag { ignore_case_flag = 1, multiline_flag = 2, global_flag = 4 };

    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Does nothing when pattern and flags are unchanged; an empty pattern keeps
    // the current one but still sets the flags. Always true.
    bool set_pattern(std::string_view pattern, bool ignore_case = true, bool multiline = true,
                     bool global = true);
    int execute(std::string_view text);
    int match_count() const;
    // Match i (from 1); group k (0 = the whole match). Empty when absent.
    std::string match_text(int i, int k = 0) const;
    // Replacement tokens: $1..$99, $&, $`, $', $$.
    std::string replace(std::string_view text, std::string_view replacement);
    std::string replace(std::string_view text, std::string_view replacement,
                        std::string_view pattern, bool ignore_case = true, bool multiline = true,
                        bool global = true);
    bool test(std::string_view text);
    std::string pattern() const;
    int flags() const;
    int submatch_count() const;
    // How often a pattern was handed to the engine (compiled).
    int compile_count() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The three instances that live for the whole program: A for item IDs,
// template placeholders and the user's replacement rule, B for whitespace
// removal, C for leftover entities.
struct RegexInstances {
    RegexObject a;
    RegexObject b;
    RegexObject c;
};

std::string escape_literal(std::string_view text);
std::string escape_literal_keep_bar(std::string_view text);
std::string wildcard_to_pattern(std::string_view text);

}  // namespace qm
