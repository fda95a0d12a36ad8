#pragma once

#include "platform/Failure.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSocketNotifier;
class QTimer;

namespace varnotel {

class Form3;
class CountingList;
class FolderWatch;
class LibraryScanner;
class ListBox;
class MediaPlayerBar;
class PictureBox;
class TextBox;
struct ArticleList;
struct DesktopCommand;
enum class Record;

// An example article as the example list shows it: its file name, and the
// path of the very file it stands for (also one in a subfolder).
struct Article {
    QString name;
    QString path;
    friend bool operator==(const Article &, const Article &) = default;
};

// The main window: every list, field, button and status line of the catalogue.
// Handlers ask currentJournal() and currentArticle() each time they run;
// nothing about the library is kept here. Its controls carry their own names
// (List1, Command7, ...) as object names.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(const QString &appDir, Platform platform, QWidget *parent = nullptr);
    ~Form1() override;

    // Run once before the window is first shown.
    void Form_Load();

    // The journal selected in List1, read afresh; none when nothing is
    // selected. The blank entry is a journal with the empty name.
    std::optional<QString> currentJournal() const;
    // The article selected in List3, read afresh; none when nothing is selected.
    std::optional<Article> currentArticle() const;

    // The recount sequences, shared by every handler that changes the library.
    void RecountLibrary();
    void RecountExamples();

    // Whether folders are still being watched one slice at a time after the
    // first frame; until then a recount asks the folders not yet watched.
    bool settingUpWatches() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // The import dialog goes with the main window.
    void closeEvent(QCloseEvent *event) override;

private slots:
    // Showing a journal and Refresh.
    void List1_Click();
    void Command10_Click();
    // Starting other programs.
    void Command2_Click();
    void Command3_Click();
    void Command12_Click();
    // Editing the fields.
    void Command1_Click();
    void Command5_Click();
    void Command6_Click();
    // Adding, renaming and deleting journals.
    void Command7_Click();
    void Command4_Click();
    void Command11_Click();
    void List1_KeyPress(int keyAscii);
    // Skip-to.
    void Text1_Change();
    // Example articles: importing, opening, deleting.
    void Command8_Click();
    void Command9_Click();
    void List3_Click();
    void List3_DblClick();
    void List3_KeyPress(int keyAscii);
    void List3_OLEDragDrop(const QByteArray &uriList);
    // The clock lines.
    void Timer1_Timer();
    // The background music.
    void WindowsMediaPlayer1_EndOfMedia();

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void scanLibraryAndPrintStatistics();
    void scanAllArticles();
    void showArticles(const ArticleList &articles);
    void PrintStatistics();
    void PurgeBlankJournal();
    void watchSomeFolders();
    // Following the disk: changes made outside show by themselves.
    void followTheDisk();
    void newsArrived();
    void showWhatChanged();
    void askWhereNoWatchTells();
    void tellOnceIfTheLibraryWent();
    void showJournalsAgain(const std::optional<QString> &journal);
    void showSelectedJournalAgain(const QString &journal);
    // Every failure of one action in one message.
    void report(const Failures &failures);
    void report(const Failure &failure) { report(Failures{failure}); }
    void reportUnreadableFolders();
    // Whether the journal was renamed or deleted behind the program's back;
    // if so the user is told and the lists are rebuilt.
    bool journalVanished(const QString &name);
    // Starting other programs, and editing the fields in the desktop's editor.
    void ShellOpen(const QString &path);
    void start(const DesktopCommand &command);
    void editField(Record field);
    // Example articles.
    void showImportDialog();
    // Whether the selected article was deleted.
    bool deleteSelectedArticle();

    QString m_appDir;
    Platform m_platform;
    QPointer<Form3> m_form3; // the import dialog while it is open
    std::unique_ptr<LibraryScanner> m_scanner;
    // Puts watches on the library's folders in short slices once the first
    // frame is painted, so that later recounts need not ask every folder.
    QTimer *m_watchSetup = nullptr;
    bool m_painted = false;
    bool m_importing = false; // a drop is being imported
    // News of changes is shown in one recount a frame at most; folders no
    // watch can tell of are asked at an interval.
    QTimer *m_follow = nullptr;
    QElapsedTimer m_lastShown;
    QTimer *m_ask = nullptr;
    bool m_everyFolderTells = false;
    bool m_libraryGone = false; // told once, until it is back
    std::vector<QSocketNotifier *> m_news;
    std::unique_ptr<FolderWatch> m_recordWatch; // the IF, homepage and notes folders

    // The window's own surface, which the statistics lines are printed on.
    PictureBox *m_surface;
    PictureBox *Picture1;
    PictureBox *Picture2;
    QLabel *Label6;
    QLineEdit *Text1;
    QPushButton *Command12;
    QPushButton *Command10;
    QLabel *Label1;
    ListBox *List1;
    CountingList *List2;
    QPushButton *Command7;
    QPushButton *Command4;
    QPushButton *Command11;
    QLabel *Label4;
    TextBox *Text3;
    QPushButton *Command5;
    QLabel *Label5;
    TextBox *Text2;
    QPushButton *Command6;
    QPushButton *Command3;
    QLabel *Label2;
    ListBox *List3;
    QPushButton *Command8;
    QPushButton *Command9;
    QLabel *Label3;
    TextBox *Text4;
    QPushButton *Command1;
    QPushButton *Command2;
    MediaPlayerBar *WindowsMediaPlayer1;
    QTimer *Timer1;
};

} // namespace varnotel
