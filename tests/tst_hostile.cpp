// Hostile input and a flaky disk: whatever is found in the library, nothing
// hangs, nothing is lost, every failure is told, and the window answers the
// next click.
#include "editing/DeleteJournal.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "platform/DesktopProgramStarter.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
namespace stdfs = std::filesystem;

namespace {

enum class Special { Pipe, Socket };

// A pipe nobody writes to, or a socket nobody listens on, at a library path.
void plant(const TempLibrary &lib, const QString &relative, Special kind) {
    lib.remove(relative);
    const QByteArray path = QFile::encodeName(lib.path(relative));
    if (kind == Special::Pipe) {
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        return;
    }
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(path.size() < qsizetype(sizeof address.sun_path));
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(sock); // the socket file stays, with nobody behind it
}

// Every entry below the folder, by the bytes of its path, relative, sorted.
QByteArrayList rawTree(const QByteArray &root) {
    QByteArrayList found;
    for (const stdfs::directory_entry &entry : stdfs::recursive_directory_iterator(root.toStdString()))
        found << QByteArray::fromStdString(entry.path().native()).mid(root.size());
    std::sort(found.begin(), found.end());
    return found;
}

// Qt's own clean-up cannot name what is not UTF-8 or lies deeper than a path may be long.
void removeWhole(const TempLibrary &lib) {
    std::error_code failed;
    stdfs::remove_all(QFile::encodeName(lib.appDir()).toStdString(), failed);
    QVERIFY2(!failed, failed.message().c_str());
}

struct SpecialFile {
    QString path;                      // replaced by the pipe or socket
    std::function<void(Form1 &)> then; // done on the shown window once its first journal is selected
    QStringList journals;              // listed afterwards
    QStringList articles;              // in List3 afterwards
    int messages;                      // each naming the path
};

// The top of a USB stick as the trash finds it, and where a deleted file goes.
struct StickTop {
    QString folder; // made at the top with this mode; empty: nothing there yet
    mode_t mode;
    QString linkedAs; // when set, the folder is reached through a link of this name
    QString trash;    // below the stick's top; empty: deleted for good, and told
};

} // namespace

Q_DECLARE_METATYPE(SpecialFile)
Q_DECLARE_METATYPE(StickTop)
Q_DECLARE_METATYPE(Special)

class HostileTest : public QObject {
    Q_OBJECT
private slots:
    void pipesAndSocketsNeverHangOrGetWrittenThrough_data();
    void pipesAndSocketsNeverHangOrGetWrittenThrough();
    void namesKeepTheirBytesAndShowAsTheyAre();
    void linksToFoldersAboveTheLibraryAreNotFollowed();
    void unreadableFoldersAreToldOncePerStartOrRefresh();
    void filesDeeperThanThePathLimitAreListed();
    void deletingOnAnotherDiskUsesThatDisksTrash_data();
    void deletingOnAnotherDiskUsesThatDisksTrash();
    void hugeFilesAndFoldersStayQuick();
};

void HostileTest::pipesAndSocketsNeverHangOrGetWrittenThrough_data() {
    QTest::addColumn<SpecialFile>("file");
    QTest::addColumn<Special>("kind");
    // Selecting tells that the field's file is no file; the button then cannot read it either.
    const auto press = [](QPushButton *Form1::*button) { return [button](Form1 &w) { click(w.*button); }; };
    const QStringList both{u"Acta"_s, u"Cell"_s}, a{u"a.pdf"_s};
    const SpecialFile cases[] = {
        {u"Homepage/Acta.txt"_s, press(&Form1::Command3), both, a, 2},
        {u"IF/Acta.txt"_s, {}, both, a, 1},
        {u"Notes/Acta.txt"_s, press(&Form1::Command1), both, a, 2},
        {u"Journal/Acta.txt"_s, press(&Form1::Command10), {u"Cell"_s}, {}, 0},
        {u"Example/Acta/b.pdf"_s, {}, both, a, 0},
        {u"dropped.pdf"_s, [](Form1 &w) { dropFiles(w.List3, {w.appDir() + u"/dropped.pdf"_s}); }, both, a,
         1},
    };
    for (const SpecialFile &file : cases) {
        QTest::addRow("pipe at %s", qPrintable(file.path)) << file << Special::Pipe;
        QTest::addRow("socket at %s", qPrintable(file.path)) << file << Special::Socket;
    }
}

void HostileTest::pipesAndSocketsNeverHangOrGetWrittenThrough() {
    QFETCH(SpecialFile, file);
    QFETCH(Special, kind);
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.addJournal(u"Cell");
    lib.write(u"Example/Acta/a.pdf", "a");
    lib.makeFolder(u"Example/Cell");
    plant(lib, file.path, kind);
    ShownWindow shown(lib.appDir());
    const QStringList before = lib.tree();
    clickRow(shown.window.List1, 0);
    if (file.then)
        file.then(shown.window);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(shown.window.List1->items(), file.journals);
    QCOMPARE(shown.window.List3->items(), file.articles);
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, file.messages), QString());
    QCOMPARE(shown.seams.errors.messages.filter(lib.path(file.path)).size(), file.messages);
    QCOMPARE(shown.seams.starter.starts, QList<QStringList>());
    // The window answers the next click as usual.
    clickRow(shown.window.List1, file.journals.size() - 1);
    QCOMPARE(shown.window.Text4->text(), u"\"Cell:\"\r\n"_s);
}

// A catalogue unpacked from an archive made on a Chinese-language Windows
// system: 期刊 in GBK bytes names the journal's files and folder. A name
// shaped like markup shows in the tooltip with its brackets, not as bold text.
void HostileTest::namesKeepTheirBytesAndShowAsTheyAre() {
    TempLibrary lib;
    const QByteArray gbk("\xC6\xDA\xBF\xAF"), root = QFile::encodeName(lib.appDir()) + '/';
    for (const QByteArray folder : {"Journal/", "IF/", "Homepage/", "Notes/"})
        std::ofstream((root + folder + gbk + ".txt").toStdString())
            << (folder == "IF/" ? "\"IF: 3.1\"\r\n" : "\"x\"\r\n");
    stdfs::create_directory((root + "Example/" + gbk).toStdString());
    std::ofstream((root + "Example/" + gbk + "/a.pdf").toStdString()) << 'a';
    const QString markup = u"<b>Bold<br>& <i>more"_s;
    lib.addJournal(markup);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    clickRow(w.List1, 0);
    const QPoint at = w.List1->visualRect(w.List1->model()->index(0, 0)).center();
    QHelpEvent hover(QEvent::ToolTip, at, w.List1->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(w.List1->viewport(), &hover);
    QTextDocument tooltip;
    tooltip.setHtml(QToolTip::text());
    QCOMPARE(tooltip.toPlainText(), markup);

    const QByteArrayList before = rawTree(root);
    QCOMPARE(w.List1->model()->index(1, 0).data().toString(), u"期刊"_s); // shown as it reads
    QInputMethodEvent typed; // Chinese comes from an input method
    typed.setCommitString(u"期"_s);
    QCoreApplication::sendEvent(w.Text1, &typed);    // found as it reads
    QCOMPARE(w.Text3->text(), u"\"IF: 3.1\"\r\n"_s); // its own fields, not defaults
    QCOMPARE(w.List3->items(), QStringList{u"a.pdf"_s});
    QCOMPARE(rawTree(root), before); // no twin made of replacement characters
    // Opened with the very bytes of its path.
    QVERIFY(DesktopProgramStarter().start(u"touch"_s, {w.List3->itemData(0) + u".opened"_s}));
    QTRY_VERIFY(::access((root + "Example/" + gbk + "/a.pdf.opened").constData(), F_OK) == 0);
    // The rename prompt offers the name as it reads, and taking it keeps the
    // bytes; a new name is UTF-8.
    shown.seams.prompt.answers << u"期刊"_s << u"期刊 2"_s;
    for (int rename = 0; rename < 2; ++rename) {
        clickRow(w.List1, 1);
        click(w.Command4);
        QVERIFY(rawTree(root).contains("Journal/" + (rename == 0 ? gbk : u"期刊 2"_s.toUtf8()) + ".txt"));
    }
    QCOMPARE(shown.seams.prompt.asked.first(), u"期刊"_s);
    QVERIFY(!rawTree(root).contains("IF/" + gbk + ".txt"));
    QCOMPARE(lib.read(u"IF/期刊 2.txt"), "\"IF: 3.1\"\r\n");
    QCOMPARE(shown.seams.errors.messages, QStringList());
    removeWhole(lib);
}

// A link to / (or to any folder above the library, such as the home folder,
// or to the application folder itself) inside the library would make every
// scan walk the whole machine; a link to a folder elsewhere (an example
// folder kept on another disk) is followed.
void HostileTest::linksToFoldersAboveTheLibraryAreNotFollowed() {
    TempLibrary lib;
    QTemporaryDir elsewhere;
    QFile(elsewhere.filePath(u"kept.pdf"_s)).open(QIODevice::WriteOnly);
    lib.addJournal(u"Acta");
    lib.write(u"Example/Acta/a.pdf", "a");
    for (const auto &[target, link] : {std::pair{u"/"_s, u"Example/Acta/root"_s},
                                       {QFileInfo(lib.appDir()).path(), u"Example/parent"_s},
                                       {lib.appDir(), u"Journal/app"_s},
                                       {elsewhere.path(), u"Example/Acta/disk"_s}})
        QVERIFY(QFile::link(target, lib.path(link)));
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    QCOMPARE(w.List1->items(), QStringList{u"Acta"_s});
    QCOMPARE(w.surfaceLines(), statistics(1, 2));
    clickRow(w.List1, 0);
    QCOMPARE(w.List3->items(), (QStringList{u"a.pdf"_s, u"kept.pdf"_s}));
    // The same after a link changes its mind: one to a folder above is passed by again.
    QVERIFY(QFile::remove(lib.path(u"Example/Acta/disk")) &&
            QFile::link(u"/"_s, lib.path(u"Example/Acta/disk")));
    click(w.Command10);
    QCOMPARE(w.surfaceLines(), statistics(1, 1));
}

// Said once when the program starts and once per Refresh, never at every key.
void HostileTest::unreadableFoldersAreToldOncePerStartOrRefresh() {
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.write(u"Example/Acta/a.pdf", "a");
    lib.write(u"Journal/shut/Hidden.txt", "x");
    TestPlatform seams;
    seams.fs.deniedFolders << lib.path(u"Journal/shut") << lib.path(u"Example/Acta");
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.List1->items(), QStringList{u"Acta"_s});
    QCOMPARE(unexpectedIn(seams.errors.messages, 1, seams.fs.deniedFolders), QString());
    window.List1->setFocus();
    QTest::keyClicks(window.List1, u"xyz"_s); // every key recounts, quietly
    QCOMPARE(seams.errors.messages.size(), 1);
    click(window.Command10);
    QCOMPARE(seams.errors.messages.size(), 2);
}

// A tree deeper than a path may be long is walked folder by folder.
void HostileTest::filesDeeperThanThePathLimitAreListed() {
    TempLibrary lib;
    const QByteArray step(200, 'd');
    int folder = ::open(QFile::encodeName(lib.path(u"Journal")).constData(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < 30; ++level) { // about 6,000 bytes of path
        QCOMPARE(::mkdirat(folder, step.constData(), 0755), 0);
        const int next = ::openat(folder, step.constData(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = next;
    }
    ::close(::openat(folder, "Deep.txt", O_WRONLY | O_CREAT, 0644));
    ShownWindow shown(lib.appDir());
    QCOMPARE(shown.window.List1->items(), QStringList{u"Deep"_s});
    ::close(::openat(folder, "Deeper.txt", O_WRONLY | O_CREAT, 0644));
    click(shown.window.Command10);
    QCOMPARE(shown.window.List1->items(), (QStringList{u"Deep"_s, u"Deeper"_s}));
    ::close(folder);
    removeWhole(lib);
}

void HostileTest::deletingOnAnotherDiskUsesThatDisksTrash_data() {
    QTest::addColumn<StickTop>("top");
    const QString uid = QString::number(::geteuid()), own = u".Trash-"_s + uid, shared = u".Trash"_s;
    QTest::newRow("nothing there yet") << StickTop{{}, 0, {}, own};
    QTest::newRow("a shared trash") << StickTop{shared, 01777, {}, shared + u'/' + uid};
    QTest::newRow("a shared trash that is not sticky") << StickTop{shared, 0777, {}, own};
    QTest::newRow("a link for the shared trash") << StickTop{u"elsewhere"_s, 01777, shared, own};
    QTest::newRow("a link for the own trash") << StickTop{u"elsewhere"_s, 0755, own, {}};
}

// The library on a USB stick: a deleted article goes to the stick's own
// trash, restorable wherever the stick is mounted, and never is a file
// deleted for good without the user being told.
void HostileTest::deletingOnAnotherDiskUsesThatDisksTrash() {
    QFETCH(StickTop, top);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.write(u"Example/Acta/a.pdf", "a");
    if (!top.folder.isEmpty()) {
        lib.makeFolder(top.folder);
        QCOMPARE(::chmod(QFile::encodeName(lib.path(top.folder)).constData(), top.mode), 0);
        QVERIFY(top.linkedAs.isEmpty() || QFile::link(lib.path(top.folder), lib.path(top.linkedAs)));
    }
    TestPlatform seams;
    seams.fs.otherDevice = lib.appDir(); // the stick, mounted at the application folder
    const EditOutcome deleted = deleteJournal(seams.fs, lib.appDir(), u"Acta"_s);
    QCOMPARE(deleted.deleted.size(), 6); // the article, its folder, four record files
    QVERIFY(!lib.exists(u"Example/Acta"));
    if (top.trash.isEmpty()) {
        QCOMPARE(unexpectedIn(deleted.messages, 1, {lib.path(u"Example/Acta/a.pdf")}), QString());
        return;
    }
    QCOMPARE(deleted.messages, QStringList());
    QCOMPARE(lib.read(top.trash + u"/files/a.pdf"_s), "a");
    QVERIFY(lib.read(top.trash + u"/info/a.pdf.trashinfo"_s)
                .startsWith("[Trash Info]\nPath=Example/Acta/a.pdf\n"));
    QVERIFY(QDir(home.filePath(u"Trash"_s)).isEmpty());
}

// A 100 MB IF file and a notes file of one 10 MB line show their first
// megabyte; a folder of 100,000 articles is listed and counted whole.
void HostileTest::hugeFilesAndFoldersStayQuick() {
    TempLibrary lib;
    lib.addJournal(u"Acta");
    QFile huge(lib.path(u"IF/Acta.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(100 * 1024 * 1024)); // sparse: quick to make
    huge.close();
    lib.write(u"Notes/Acta.txt", QByteArray(10 * 1024 * 1024, 'n'));
    lib.makeFolder(u"Example/Acta");
    const int fd = ::open(QFile::encodeName(lib.path(u"Example/Acta")).constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 100'000; ++i)
        ::close(::openat(fd, QByteArray::number(i).append(".pdf").constData(), O_WRONLY | O_CREAT, 0644));
    ::close(fd);
    ShownWindow shown(lib.appDir());
    QCOMPARE(shown.window.surfaceLines(), statistics(1, 100'000));
    clickRow(shown.window.List1, 0);
    QCOMPARE(shown.window.List3->listCount(), 100'000);
    for (const TextBox *box : {shown.window.Text3, shown.window.Text4})
        QVERIFY(box->text().size() < 2 * 1024 * 1024 && box->text().endsWith(u"not shown.)\r\n"_s));
}

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
