#include "text/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
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

// A GBK text as the engine sees it, with the GBK offset of every UTF-8
// character start, so that match texts and the parts a replacement leaves
// alone are cut from the original bytes: bytes that are no GBK survive as
// they were instead of coming back as "?".
struct Subject {
    std::string utf8;
    std::vector<size_t> gbk_at;  // indexed by UTF-8 offset; valid at character starts and the end

    size_t to_gbk(PCRE2_SIZE utf8_offset) const { return gbk_at[utf8_offset]; }
};

size_t utf8_length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Appends the conversion of `chunk` (starting at GBK offset `at`): each code
// point maps to one GBK character when their counts agree; otherwise (bytes
// that are no GBK) the chunk is converted one character at a time.
void append_chunk(Subject& s, std::string_view gbk, size_t at, size_t end) {
    std::vector<size_t> starts;  // GBK character starts in the chunk
    for (size_t i = at; i < end;) {
        starts.push_back(i);
        i += static_cast<unsigned char>(gbk[i]) >= 0x80 && i + 1 < end ? 2 : 1;
    }
    const std::string utf8 = gbk_to_utf8(gbk.substr(at, end - at));
    size_t points = 0;
    for (size_t i = 0; i < utf8.size(); i += utf8_length(static_cast<unsigned char>(utf8[i]))) ++points;
    if (points != starts.size()) {
        if (starts.size() == 1) {
            // One character giving several code points: each is one byte of it.
            size_t k = 0;
            for (size_t i = 0; i < utf8.size(); ++k) {
                const size_t n = std::min(utf8_length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
                for (size_t j = 0; j < n; ++j) s.gbk_at.push_back(std::min(at + k, end - 1));
                s.utf8.append(utf8, i, n);
                i += n;
            }
            return;
        }
        for (size_t c = 0; c < starts.size(); ++c)
            append_chunk(s, gbk, starts[c], c + 1 < starts.size() ? starts[c + 1] : end);
        return;
    }
    size_t c = 0;
    for (size_t i = 0; i < utf8.size(); ++c) {
        const size_t n = std::min(utf8_length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        for (size_t j = 0; j < n; ++j) s.gbk_at.push_back(starts[c]);
        s.utf8.append(utf8, i, n);
        i += n;
    }
}

Subject make_subject(std::string_view gbk) {
    Subject s;
    s.utf8.reserve(gbk.size() * 3 / 2);
    s.gbk_at.reserve(gbk.size() * 3 / 2 + 1);
    size_t i = 0;
    while (i < gbk.size()) {
        if (static_cast<unsigned char>(gbk[i]) < 0x80) {  // ASCII stays as it is
            s.utf8.push_back(gbk[i]);
            s.gbk_at.push_back(i++);
            continue;
        }
        size_t end = i;  // a run of two-byte characters, converted at once
        while (end < gbk.size() && static_cast<unsigned char>(gbk[end]) >= 0x80)
            end += end + 1 < gbk.size() ? 2 : 1;
        end = std::min(end, gbk.size());
        append_chunk(s, gbk, i, end);
        i = end;
    }
    s.gbk_at.push_back(gbk.size());
    return s;
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
    bool for_each_match(const Subject& input, OnMatch on_match) {
        const std::string& subject = input.utf8;
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
    const Subject subject = make_subject(text);
    std::vector<std::vector<std::string>> found;
    bool ok = impl_->for_each_match(subject, [&](const std::vector<Span>& spans) {
        std::vector<std::string> texts;
        texts.reserve(spans.size());
        for (const Span& s : spans) {
            if (s.start == PCRE2_UNSET) {
                texts.emplace_back();
                continue;
            }
            const size_t from = subject.to_gbk(s.start);
            texts.emplace_back(text.substr(from, subject.to_gbk(s.end) - from));
        }
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
    const Subject subject = make_subject(text);
    // The tokens are ASCII below 0x40, which is never a GBK trail byte, so the
    // replacement is read as GBK bytes directly.
    const std::string_view with = replacement;
    const int groups = impl_->group_count();
    std::string out;
    size_t copied = 0;  // GBK bytes of the text already handled

    auto piece = [&](PCRE2_SIZE start, PCRE2_SIZE end) {
        const size_t from = subject.to_gbk(start);
        out.append(text.substr(from, subject.to_gbk(end) - from));
    };
    bool ok = impl_->for_each_match(subject, [&](const std::vector<Span>& spans) {
        const Span whole = spans[0];
        out.append(text.substr(copied, subject.to_gbk(whole.start) - copied));
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
                piece(whole.end, subject.utf8.size());
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
        copied = subject.to_gbk(whole.end);
    });
    if (!ok) return {};
    out.append(text.substr(copied));
    return out;
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
    const std::string subject = make_subject(text).utf8;
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
