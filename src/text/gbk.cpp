#include "text/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace qm {

namespace {

// One conversion descriptor per direction and thread, opened on first use:
// opening one costs more than converting a whole review.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts one span with iconv, replacing each unconvertible input byte by
// `fallback` and resuming one byte later, so no input can stall or abort it.
void convert_span(iconv_t cd, std::string_view in, std::string& out, std::string_view fallback,
                  size_t (*skip)(const char*, size_t)) {
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[4096];
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
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
}

// ASCII is the same in both encodings and is copied as it is; iconv sees only
// the spans around other bytes. A span ends just after the first ASCII byte
// that follows them: in GBK that byte is a character or a trail byte, so a
// character starts after it either way, and in UTF-8 it is a character.
std::string convert(std::string_view in, const Converter& converter, std::string_view fallback,
                    size_t (*skip)(const char*, size_t)) {
    std::string out;
    if (in.empty() || !converter.ok()) return out;
    out.reserve(in.size() * 3 / 2 + 16);
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.data());
    const size_t n = in.size();
    size_t pos = 0;
    while (pos < n) {
        size_t high = pos;
        while (high < n && bytes[high] < 0x80) ++high;
        out.append(in.substr(pos, high - pos));
        if (high == n) break;
        size_t end = high;
        while (end < n && bytes[end] >= 0x80) ++end;
        if (end < n) ++end;
        convert_span(converter.get(), in.substr(high, end - high), out, fallback, skip);
        pos = end;
    }
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
    thread_local const Converter converter("UTF-8", "GBK");
    return convert(gbk, converter, "\xEF\xBF\xBD", skip_one_byte);
}

std::string utf8_to_gbk(std::string_view utf8) {
    thread_local const Converter converter("GBK", "UTF-8");
    return convert(utf8, converter, "?", skip_utf8_character);
}

}  // namespace qm
