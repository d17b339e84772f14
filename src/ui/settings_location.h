#pragma once

#include <QString>

namespace qm {

// Where "主配置文件.ini" lives: beside the executable when that directory
// can be written, otherwise in the user's configuration directory (created
// if needed), so that settings are never silently lost.
QString settings_file_location();
// The same choice for a given executable directory and fallback directory.
QString settings_file_location(const QString& executable_dir, const QString& config_dir);

}  // namespace qm
