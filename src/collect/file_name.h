#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// The title made usable as a file name: \ / : * ? | < > become their
// full-width forms, double quotes and line breaks go. The argument is
// replaced by the result.
std::string clean_file_name(std::string& title);

// The longest prefix of `name`, cut at a character boundary, with which
// name + suffix still fits the file system's limit on one name.
std::string fit_file_name(std::string_view name, std::string_view suffix);

}  // namespace qm
