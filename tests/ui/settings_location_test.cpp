#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/settings_location.h"

using namespace Qt::Literals::StringLiterals;

class SettingsLocationTest : public QObject {
    Q_OBJECT

private slots:
    void beside_the_executable_when_writable() {
        QTemporaryDir exe, config;
        QCOMPARE(qm::settings_file_location(exe.path(), config.path()),
                 QDir::toNativeSeparators(QDir(exe.path()).filePath(u"主配置文件.ini"_s)));
        // The probe leaves nothing behind.
        QCOMPARE(QDir(exe.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A directory that cannot hold the file (here: it is not a directory at
    // all, which holds for root as well) sends the settings to the
    // configuration directory, created if missing.
    void configuration_directory_otherwise() {
        QTemporaryDir root;
        const QString not_a_dir = root.filePath(u"program"_s);
        QFile blocker(not_a_dir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString config = root.filePath(u"config/quillmere"_s);
        QCOMPARE(qm::settings_file_location(not_a_dir, config),
                 QDir::toNativeSeparators(QDir(config).filePath(u"主配置文件.ini"_s)));
        QVERIFY(QDir(config).exists());
    }
};

QTEST_GUILESS_MAIN(SettingsLocationTest)

#include "settings_location_test.moc"
