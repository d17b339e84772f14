#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace qm {

// The edge between the core's GBK texts and Qt's strings.
QString from_gbk(std::string_view gbk);
std::string to_gbk(const QString& text);

// Multi-line boxes hold '\n' between lines; the system's own line breaks are
// CR LF. A lone CR or LF read from a file counts as a line break as well.
QString lines_from_gbk(std::string_view gbk);
std::string lines_to_gbk(const QString& text);

}  // namespace qm
