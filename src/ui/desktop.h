#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qm {

// What the windows ask of the desktop besides message boxes: file and folder
// choosers and the web browser. The app uses QtDesktop; tests answer them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // One existing or new file; empty when cancelled. filter: Qt's ";;" form.
    virtual QString choose_file(QWidget* parent, const QString& preset, const QString& filter,
                                const QString& default_suffix) = 0;
    // Several existing files in the order the chooser gives them; empty when cancelled.
    virtual QStringList choose_files(QWidget* parent, const QString& title, const QString& filter) = 0;
    // A folder; empty when cancelled or when the choice is not a folder.
    virtual QString choose_folder(const QString& title, const QString& start) = 0;
    // Opens a web page in the user's browser.
    virtual void open_link(const QString& address) = 0;
};

class QtDesktop : public Desktop {
public:
    QString choose_file(QWidget* parent, const QString& preset, const QString& filter,
                        const QString& default_suffix) override;
    QStringList choose_files(QWidget* parent, const QString& title, const QString& filter) override;
    QString choose_folder(const QString& title, const QString& start) override;
    void open_link(const QString& address) override;
};

}  // namespace qm
