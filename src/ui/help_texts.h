#pragma once

#include <string>

namespace qm {

// The operation help shown by "操作帮助" (GBK, paragraphs apart by an empty line).
const std::string& operation_help_text();
// The template reference shown by "查看引用说明" (GBK, CR LF line breaks).
const std::string& template_reference_text();

// The maker's pages (UTF-8 addresses).
namespace links {
inline constexpr const char* home_page = "https://quillmere.example/";
inline constexpr const char* contact_page = "https://quillmere.example/contact";
inline constexpr const char* software_page = "https://quillmere.example/software";
inline constexpr const char* updates_page = "https://quillmere.example/quillmere/updates";
}  // namespace links

}  // namespace qm
