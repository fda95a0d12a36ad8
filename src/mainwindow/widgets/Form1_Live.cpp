// The window follows the disk: what a file manager, an editor, a sync client
// or another window changes in the library shows by itself. The watches that
// keep recounts cheap tell when something changed. News after a quiet frame
// shows at once; during a burst it is shown once a frame at most, in one
// recount, which keeps what the person selected and where the lists were
// scrolled.
#include "mainwindow/widgets/Form1.h"

#include "library/LibraryPaths.h"
#include "library/LibraryScanner.h"
#include "library/Messages.h"
#include "library/ShowJournal.h"
#include "mainwindow/widgets/CountingList.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/PictureBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "platform/FolderCursor.h"
#include "platform/FolderWatch.h"

#include <QApplication>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace varnotel {

namespace {

// News is shown at most this often: once a frame.
constexpr qint64 kFrameMs = 16;
// Where no watch can tell (a network file system), the folders are asked this often.
constexpr int kAskEveryMs = 2000;

} // namespace

void Form1::followTheDisk() {
    if (m_follow)
        return;
    m_follow = new QTimer(this);
    m_follow->setSingleShot(true);
    connect(m_follow, &QTimer::timeout, this, &Form1::showWhatChanged);
    m_ask = new QTimer(this);
    m_ask->setInterval(kAskEveryMs);
    connect(m_ask, &QTimer::timeout, this, &Form1::showWhatChanged);

    // The selected journal's record files lie in folders no recount reads.
    m_recordWatch = m_platform.fs.createFolderWatch();
    bool everyFolderTells = m_recordWatch != nullptr;
    for (const Record record : {Record::ImpactFactor, Record::Homepage, Record::Notes}) {
        const std::unique_ptr<FolderCursor> folder =
            m_platform.fs.cursor(paths::recordFolder(m_appDir, record));
        if (!m_recordWatch || !m_recordWatch->watch(*folder))
            everyFolderTells = false;
    }
    QList<int> descriptors = m_scanner->newsDescriptors();
    descriptors << (m_recordWatch ? m_recordWatch->newsDescriptor() : -1);
    for (const int descriptor : descriptors) {
        everyFolderTells = everyFolderTells && descriptor >= 0;
        if (descriptor < 0)
            continue;
        auto *notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &Form1::newsArrived);
        m_news.push_back(notifier);
    }
    m_everyFolderTells = everyFolderTells;
    askWhereNoWatchTells();
}

// Asking costs a walk of the folders no watch tells of, so it runs only while
// there are such folders (or no watch at all).
void Form1::askWhereNoWatchTells() {
    if (!m_ask)
        return;
    if (!m_everyFolderTells || m_scanner->mustAsk() || settingUpWatches())
        m_ask->start();
    else
        m_ask->stop();
}

// The news stays unread until it is shown, so the notifiers rest meanwhile.
void Form1::newsArrived() {
    for (QSocketNotifier *notifier : m_news)
        notifier->setEnabled(false);
    const qint64 since = m_lastShown.isValid() ? m_lastShown.elapsed() : kFrameMs;
    m_follow->start(int(std::max<qint64>(0, kFrameMs - since)));
}

void Form1::showWhatChanged() {
    // Not under a message, a prompt or an import: their handler is still at work.
    if (QApplication::activeModalWidget() || m_importing) {
        m_follow->start(int(kFrameMs));
        return;
    }
    if (m_recordWatch)
        m_recordWatch->takeNews();
    const std::optional<QString> journal = currentJournal();
    showJournalsAgain(journal);
    List2->clear();
    m_surface->clear();
    scanAllArticles();
    PrintStatistics();
    if (journal && currentJournal() == journal)
        showSelectedJournalAgain(*journal);
    tellOnceIfTheLibraryWent();
    for (QSocketNotifier *notifier : m_news)
        notifier->setEnabled(true);
    m_lastShown.start();
}

// A library on a disk that is taken away shows empty, and says why once; when
// the disk is back, the library shows again.
void Form1::tellOnceIfTheLibraryWent() {
    const bool gone = !m_platform.fs.folderExists(paths::journalFolder(m_appDir)) &&
                      !m_platform.fs.folderExists(paths::exampleRoot(m_appDir));
    if (gone && !m_libraryGone)
        report(failureNaming(FailureKind::LibraryGone,
                             QStringLiteral("期刊库的文件夹不见了(磁盘被移除了?)。它们回来后会自动显示:"),
                             QStringLiteral("The library's folders are gone (was a disk removed?). They will "
                                            "show again once they are back:"),
                             m_appDir));
    m_libraryGone = gone;
}

// The journal list is built again only when it changed; the selected journal
// stays selected and the list where it was scrolled. One that is gone leaves
// no selection, and its articles go from the example list, as after a delete.
void Form1::showJournalsAgain(const std::optional<QString> &journal) {
    const QStringList journals = m_scanner->sosuofile1(paths::journalFolder(m_appDir));
    if (journals == List1->items())
        return;
    const int scrolled = List1->verticalScrollBar()->value();
    List1->clear();
    List1->addItems(journals);
    const qsizetype row = journal ? journals.indexOf(*journal) : -1;
    List1->restoreSelection(row);
    List1->verticalScrollBar()->setValue(scrolled);
    if (journal && row < 0)
        List3->clear();
}

// Its three fields as their files now read (never written: a missing file
// keeps its box as it is), and its articles, the selected one kept.
void Form1::showSelectedJournalAgain(const QString &journal) {
    for (const auto &[field, box] : {std::pair{Record::ImpactFactor, Text3},
                                     std::pair{Record::Homepage, Text2}, std::pair{Record::Notes, Text4}}) {
        if (const std::optional<QString> text = fieldAsItReads(m_platform.fs, m_appDir, field, journal);
            text && *text != box->text())
            box->setText(*text);
    }
    const ArticleList articles = listedArticles(m_platform.fs, m_appDir, journal);
    if (articles.names == List3->items() && articles.paths.size() == List3->listCount())
        return;
    const QString selected = List3->listIndex() >= 0 ? List3->itemData(List3->listIndex()) : QString();
    const int scrolled = List3->verticalScrollBar()->value();
    showArticles(articles);
    List3->restoreSelection(selected.isEmpty() ? -1 : articles.paths.indexOf(selected));
    List3->verticalScrollBar()->setValue(scrolled);
}

} // namespace varnotel
