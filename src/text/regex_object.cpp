#include "text/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <vector>

#include "text/gbk.h"
#include "text/text_primitives.h"

namespace qm {

namespace {

// A user pattern may backtrack catastrophically; past these limits a match
// attempt gives up and the pattern counts as rejected, so the window never
// hangs on it. They are far above what the system's own patterns need on a
// review text or a page.
constexpr uint32_t match_limit = 1'000'000;
constexpr uint32_t depth_limit = 50'000;

// One match: the whole match and its groups, as UTF-8 spans of the subject.
// A group that took no part has start == PCRE2_UNSET.
struct Span {
    PCRE2_SIZE start = PCRE2_UNSET;
    PCRE2_SIZE end = PCRE2_UNSET;
};

// Offset of the character after the one at `p` in valid UTF-8.
PCRE2_SIZE next_character(const std::string& s, PCRE2_SIZE p) {
    ++p;
    while (p < s.size() && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) ++p;
    return p;
}

}  // namespace

struct RegexObject::Impl {
    pcre2_compile_context* compile_context = nullptr;
    pcre2_match_context* match_context = nullptr;
    pcre2_code* code = nullptr;
    pcre2_match_data* match_data = nullptr;
    bool compiled = false;  // `code` reflects the current pattern and flags (null: rejected)

    std::vector<std::vector<std::string>> matches;  // GBK texts, [0] the whole match
    int flags = 0;
    std::string pattern;
    int compile_count = 0;

    Impl() {
        compile_context = pcre2_compile_context_create(nullptr);
        match_context = pcre2_match_context_create(nullptr);
        if (compile_context) pcre2_set_newline(compile_context, PCRE2_NEWLINE_ANYCRLF);
        if (match_context) {
            pcre2_set_match_limit(match_context, match_limit);
            pcre2_set_depth_limit(match_context, depth_limit);
        }
    }

    ~Impl() {
        release_code();
        pcre2_match_context_free(match_context);
        pcre2_compile_context_free(compile_context);
    }

    bool has_engine() const { return compile_context && match_context; }

    void release_code() {
        pcre2_match_data_free(match_data);
        pcre2_code_free(code);
        match_data = nullptr;
        code = nullptr;
        compiled = false;
    }

    // Compiles the current pattern with the current flags; a rejected pattern
    // leaves `code` null.
    void compile() {
        release_code();
        compiled = true;
        if (!has_engine()) return;
        // ALT_BSUX: \uhhhh and \xhh as users of ECMAScript-style engines write them.
        uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX;
        if (flags & ignore_case_flag) options |= PCRE2_CASELESS;
        if (flags & multiline_flag)
            options |= PCRE2_MULTILINE;
        else
            options |= PCRE2_DOLLAR_ENDONLY;
        const std::string utf8 = gbk_to_utf8(pattern);
        int error = 0;
        PCRE2_SIZE error_offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.data()), utf8.size(), options, &error,
                             &error_offset, compile_context);
        if (!code) return;
        match_data = pcre2_match_data_create_from_pattern(code, nullptr);
        if (!match_data) {
            release_code();
            compiled = true;
        }
    }

    // Patterns are compiled when first used, so setting one that is replaced
    // before any use costs nothing.
    pcre2_code* ready_code() {
        if (!compiled) {
            compile();
            ++compile_count;
        }
        return code;
    }

    int group_count() const {
        uint32_t n = 0;
        if (code) pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &n);
        return static_cast<int>(n);
    }

    // Runs the pattern over `subject` (UTF-8) and reports each match's spans to
    // `on_match`. Returns false when the pattern is rejected or a match attempt
    // ran past a limit. Empty matches advance by one character.
    template <typename OnMatch>
    bool for_each_match(const std::string& subject, OnMatch on_match) {
        pcre2_code* re = ready_code();
        if (!re) return false;
        const bool global = flags & global_flag;
        const int groups = group_count();
        std::vector<Span> spans(static_cast<size_t>(groups) + 1);
        PCRE2_SIZE from = 0;
        uint32_t options = 0;  // the UTF check runs once, on the first attempt
        while (from <= subject.size()) {
            int rc = pcre2_match(re, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from,
                                 options, match_data, match_context);
            options = PCRE2_NO_UTF_CHECK;
            if (rc == PCRE2_ERROR_NOMATCH) break;
            if (rc < 0) return false;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(match_data);
            const uint32_t pairs = pcre2_get_ovector_count(match_data);
            for (int g = 0; g <= groups; ++g) {
                spans[g] = static_cast<uint32_t>(g) < pairs && g < rc ? Span{ov[2 * g], ov[2 * g + 1]} : Span{};
                // \K in a lookahead can put the start after the end; treat as empty.
                if (spans[g].start != PCRE2_UNSET && spans[g].end < spans[g].start) spans[g].end = spans[g].start;
            }
            on_match(spans);
            if (!global) break;
            const PCRE2_SIZE end = spans[0].end;
            if (end > spans[0].start)
                from = end;
            else if (end + 1 < subject.size() && subject[end] == '\r' && subject[end + 1] == '\n')
                from = end + 2;  // CR LF is one line end: no line starts between them
            else
                from = end >= subject.size() ? end + 1 : next_character(subject, end);
        }
        return true;
    }
};

RegexObject::RegexObject() : impl_(std::make_unique<Impl>()) {}
RegexObject::~RegexObject() = default;

bool RegexObject::set_pattern(std::string_view pattern, bool ignore_case, bool multiline, bool global) {
    const int flags = (ignore_case ? ignore_case_flag : 0) | (multiline ? multiline_flag : 0) |
                      (global ? global_flag : 0);
    if (pattern == impl_->pattern && flags == impl_->flags) return true;
    const bool changes_code = (!pattern.empty() && pattern != impl_->pattern) ||
                              (flags & ~global_flag) != (impl_->flags & ~global_flag);
    if (!pattern.empty()) impl_->pattern = std::string(pattern);
    impl_->flags = flags;
    if (changes_code) impl_->release_code();  // compiled again at the next use
    return true;
}

int RegexObject::execute(std::string_view text) {
    impl_->matches.clear();
    const std::string subject = gbk_to_utf8(text);
    std::vector<std::vector<std::string>> found;
    bool ok = impl_->for_each_match(subject, [&](const std::vector<Span>& spans) {
        std::vector<std::string> texts;
        texts.reserve(spans.size());
        for (const Span& s : spans)
            texts.push_back(s.start == PCRE2_UNSET ? std::string()
                                                   : utf8_to_gbk(std::string_view(subject).substr(s.start, s.end - s.start)));
        found.push_back(std::move(texts));
    });
    if (ok) impl_->matches = std::move(found);
    return static_cast<int>(impl_->matches.size());
}

int RegexObject::match_count() const { return static_cast<int>(impl_->matches.size()); }

std::string RegexObject::match_text(int i, int k) const {
    if (i < 1 || static_cast<size_t>(i) > impl_->matches.size()) return {};
    const auto& groups = impl_->matches[static_cast<size_t>(i) - 1];
    if (k < 0) k = 0;
    if (static_cast<size_t>(k) >= groups.size()) return {};
    return groups[static_cast<size_t>(k)];
}

std::string RegexObject::replace(std::string_view text, std::string_view replacement) {
    if (!impl_->ready_code()) return {};
    const std::string subject = gbk_to_utf8(text);
    const std::string with = gbk_to_utf8(replacement);
    const int groups = impl_->group_count();
    std::string out;
    PCRE2_SIZE copied = 0;  // subject bytes already handled

    auto piece = [&](PCRE2_SIZE start, PCRE2_SIZE end) { out.append(subject, start, end - start); };
    bool ok = impl_->for_each_match(subject, [&](const std::vector<Span>& spans) {
        const Span whole = spans[0];
        piece(copied, whole.start);
        for (size_t i = 0; i < with.size(); ++i) {
            const char c = with[i];
            if (c != '$' || i + 1 == with.size()) {
                out.push_back(c);
                continue;
            }
            const char t = with[i + 1];
            auto is_digit = [](char d) { return d >= '0' && d <= '9'; };
            if (t == '$') {
                out.push_back('$');
                ++i;
            } else if (t == '&') {
                piece(whole.start, whole.end);
                ++i;
            } else if (t == '`') {
                piece(0, whole.start);
                ++i;
            } else if (t == '\'') {
                piece(whole.end, subject.size());
                ++i;
            } else if (is_digit(t)) {
                // Two digits only when that group exists, else one digit and a literal digit.
                int one = t - '0';
                int two = i + 2 < with.size() && is_digit(with[i + 2]) ? one * 10 + (with[i + 2] - '0') : -1;
                int group = two >= 1 && two <= groups ? two : (one >= 1 && one <= groups ? one : -1);
                if (group < 0) {
                    out.push_back('$');
                    continue;
                }
                const Span s = spans[static_cast<size_t>(group)];
                if (s.start != PCRE2_UNSET) piece(s.start, s.end);
                i += group == two ? 2 : 1;
            } else {
                out.push_back('$');
            }
        }
        copied = whole.end;
    });
    if (!ok) return {};
    piece(copied, subject.size());
    return utf8_to_gbk(out);
}

std::string RegexObject::replace(std::string_view text, std::string_view replacement,
                                 std::string_view pattern, bool ignore_case, bool multiline,
                                 bool global) {
    set_pattern(pattern, ignore_case, multiline, global);
    return replace(text, replacement);
}

bool RegexObject::test(std::string_view text) {
    pcre2_code* re = impl_->ready_code();
    if (!re) return false;
    const std::string subject = gbk_to_utf8(text);
    int rc = pcre2_match(re, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                         impl_->match_data, impl_->match_context);
    return rc >= 0;
}

std::string RegexObject::pattern() const { return impl_->pattern; }

int RegexObject::flags() const { return impl_->flags; }

int RegexObject::submatch_count() const {
    return impl_->matches.empty() ? 0 : static_cast<int>(impl_->matches.front().size()) - 1;
}

int RegexObject::compile_count() const { return impl_->compile_count; }

namespace {
std::string escape_each(std::string_view text, std::string_view characters) {
    std::string out(text);
    for (char c : characters) {
        const char one[2] = {c, 0};
        const char escaped[3] = {'\\', c, 0};
        out = replace_text(out, one, escaped);
    }
    return out;
}
}  // namespace

std::string escape_literal(std::string_view text) { return escape_each(text, "\\^$+.{}[]=()?*|\""); }

std::string escape_literal_keep_bar(std::string_view text) { return escape_each(text, "\\^$+.{}[]=()?*\""); }

std::string wildcard_to_pattern(std::string_view text) {
    std::string out = escape_each(text, "\\^$+.{}[]=()\"");
    out = replace_text(out, "*", ".*");
    return replace_text(out, "?", ".?");
}

}  // namespace qm
