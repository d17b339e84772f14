#include "ui/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::Literals::StringLiterals;

namespace qm {

namespace {

const QString& file_name() {
    static const QString name = u"主配置文件.ini"_s;
    return name;
}

// Permission bits do not tell everything (read-only mounts, ACLs): try it.
bool can_write_in(const QString& dir) {
    const QFileInfo existing(QDir(dir).filePath(file_name()));
    if (existing.exists()) return existing.isWritable();
    QTemporaryFile probe(QDir(dir).filePath(u"qm-probe-XXXXXX"_s));
    return probe.open();
}

}  // namespace

QString settings_file_location(const QString& executable_dir, const QString& config_dir) {
    if (!executable_dir.isEmpty() && can_write_in(executable_dir))
        return QDir::toNativeSeparators(QDir(executable_dir).filePath(file_name()));
    QDir().mkpath(config_dir);
    return QDir::toNativeSeparators(QDir(config_dir).filePath(file_name()));
}

QString settings_file_location() {
    return settings_file_location(QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

}  // namespace qm
