#pragma once

#include <QString>
#include <QStringList>

#include "ui/desktop.h"

// Choosers answered from what the test sets, and links only noted.
class FakeDesktop : public qm::Desktop {
public:
    QString file_answer, folder_answer;
    QStringList files_answer;
    QStringList opened_links;
    QString last_preset, last_title, last_start;

    QString choose_file(QWidget*, const QString& preset, const QString&, const QString&) override {
        last_preset = preset;
        return file_answer;
    }
    QStringList choose_files(QWidget*, const QString& title, const QString&) override {
        last_title = title;
        return files_answer;
    }
    QString choose_folder(const QString& title, const QString& start) override {
        last_title = title;
        last_start = start;
        return folder_answer;
    }
    void open_link(const QString& address) override { opened_links << address; }
};
