#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Texts inside the core are GBK byte strings; these convert at the edges
// (windows, file names, the regex engine, standard output).
//
// Invalid input never fails: in gbk_to_utf8 every byte that does not start a
// valid GBK character (including a lead byte at the very end) becomes U+FFFD;
// in utf8_to_gbk every malformed UTF-8 byte and every character GBK cannot
// represent becomes "?".
std::string gbk_to_utf8(std::string_view gbk);
std::string utf8_to_gbk(std::string_view utf8);

namespace detail {
template <std::size_t N>
struct Utf8Literal {
    char bytes[N];
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
    }
};
}  // namespace detail

// The system's own Chinese texts are written in UTF-8 source: "开始采集"_gbk
// gives their GBK bytes, converted once per literal.
template <detail::Utf8Literal L>
const std::string& operator""_gbk() {
    static const std::string converted = utf8_to_gbk(std::string_view(L.bytes, sizeof(L.bytes) - 1));
    return converted;
}

}  // namespace qm
