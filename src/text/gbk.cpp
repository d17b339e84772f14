#include "text/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace qm {

namespace {

// Converts with iconv, replacing each unconvertible input byte by `fallback`
// and resuming one byte later, so no input can stall or abort the conversion.
std::string convert(std::string_view in, const char* to, const char* from,
                    std::string_view fallback, size_t (*skip)(const char*, size_t)) {
    std::string out;
    if (in.empty()) return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;

    out.reserve(in.size() * 3 / 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[4096];
    while (src_left > 0) {
        char* dst = buffer;
        size_t dst_left = sizeof(buffer);
        size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
        out.append(buffer, dst - buffer);
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): skip the offending character.
        out.append(fallback);
        size_t n = skip(src, src_left);
        src += n;
        src_left -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buffer;
    size_t dst_left = sizeof(buffer);
    iconv(cd, nullptr, nullptr, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    iconv_close(cd);
    return out;
}

size_t skip_one_byte(const char*, size_t) { return 1; }

// A well-formed UTF-8 character that GBK lacks is skipped whole, so it gives one "?".
size_t skip_utf8_character(const char* s, size_t left) {
    auto b = static_cast<unsigned char>(s[0]);
    size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 1;
    if (n > left) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
    return convert(gbk, "UTF-8", "GBK", "\xEF\xBF\xBD", skip_one_byte);
}

std::string utf8_to_gbk(std::string_view utf8) { return convert(utf8, "GBK", "UTF-8", "?", skip_utf8_character);
}

}  // namespace qm
