#pragma once

#include "platform/FileSystem.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace varnotel {

class DirListBox;
class DriveListBox;
class ErrorReport;
class FileListBox;

// The import dialog: a drive, a folder, then a click on a file copies it into
// the example folder of the journal selected in the main window at that
// moment. It keeps no journal of its own; it asks the main window each time.
class Form3 : public QWidget {
    Q_OBJECT
public:
    using JournalQuery = std::function<std::optional<QString>()>;

    // Opens on the drive and folder the process is in. Its controls carry
    // their own names (Drive1, Dir1, File1, Command1) as object names.
    Form3(const QString &appDir, FileSystem &fs, ErrorReport &errors, JournalQuery currentJournal);

signals:
    // The dialog is closing, by Exit or by the window's close button: the main
    // window brings its example list and statistics up to date.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Command1_Click();

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();

    QString m_appDir;
    FileSystem &m_fs;
    ErrorReport &m_errors;
    JournalQuery m_currentJournal;
    bool m_importing = false;

    DriveListBox *Drive1;
    FileListBox *File1;
    DirListBox *Dir1;
    QLabel *Label1;
    QPushButton *Command1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
};

} // namespace varnotel
