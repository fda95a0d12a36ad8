// Hostile input and a hostile disk: whatever is found in the library, nothing
// hangs, nothing is written through or lost, and every failure is told.
#include "platform/DesktopProgramStarter.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QInputMethodEvent>
#include <QLocalServer>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using K = FailureKind;

class HostileTest : public QObject {
    Q_OBJECT
private slots:
    // Pipes in place of a homepage and a notes file and of a dropped file,
    // sockets in place of a journal's record file and an article: selecting
    // tells that the fields' files are no files, the homepage button cannot
    // read one, the notes button cannot start an editor on one, nothing is
    // imported, and none is listed.
    void pipesAndSocketsNeverHangOrGetWrittenThrough() {
        Session s;
        s.lib.write(u"Journal/Acta.txt", "");
        s.lib.write(u"Example/Acta/a.pdf", "a");
        const QStringList pipes{u"Homepage/Acta.txt"_s, u"Notes/Acta.txt"_s, u"dropped.pdf"_s};
        for (const QString &pipe : pipes) // nobody ever writes to them
            QCOMPARE(::mkfifo(QFile::encodeName(s.lib.path(pipe)).constData(), 0600), 0);
        QLocalServer journal, article; // nobody ever calls them
        QVERIFY(journal.listen(s.lib.path(u"Journal/Bad.txt")) &&
                article.listen(s.lib.path(u"Example/Acta/b.pdf")));
        ShownWindow &shown = s.start();
        const Snapshot before = s.lib.snapshot();
        click(shown.ui.Command10);
        clickRow(shown.ui.List1, 0);
        click(shown.ui.Command3);
        click(shown.ui.Command1);
        dropFiles(shown.ui.List3, {s.lib.path(u"dropped.pdf")});
        QCOMPARE(s.lib.snapshot(), before);
        QCOMPARE(libraryShown(shown), (QStringList{u"Acta"_s} + statistics(1, 1)));
        QCOMPARE(shown.ui.List3->items(), QStringList{u"a.pdf"_s});
        QCOMPARE(
            shown.seams.errors.kinds(),
            (Kinds{{K::CannotCreate, K::CannotCreate}, {K::CannotRead}, {K::CannotCreate}, {K::CannotCopy}}));
        for (const auto &[report, file] : {std::pair{0, 0}, {0, 1}, {1, 0}, {2, 1}, {3, 2}})
            QVERIFY(shown.seams.errors.texts().at(report).contains(s.lib.path(pipes[file])));
        QCOMPARE(shown.seams.starter.starts, QList<QStringList>());
    }

    // A catalogue unpacked from an archive made on a Chinese-language Windows
    // system: 期刊 in GBK bytes names the journal's files and folder. It shows
    // and is found as it reads, its own files are read, it is opened and, its
    // name taken unchanged, renamed by its very bytes. A name shaped like
    // markup shows in the tooltip with its brackets, not as bold text. A name
    // holding a newline, a tab or an escape shows them written out, on one
    // line, in the lists, the tooltip and the import dialog, and keeps its
    // bytes on disk; a message quoting a file's content shows no control character.
    void namesKeepTheirBytesAndShowAsTheyRead() {
        Session s;
        const QByteArray root = QFile::encodeName(s.lib.appDir()) + '/', gbk("\xC6\xDA\xBF\xAF");
        ::mkdir((root + "Example/" + gbk).constData(), 0755);
        for (const QByteArray folder : {"Journal/", "Homepage/", "Notes/", "IF/", "Example/"})
            std::ofstream((root + folder + gbk + (folder == "Example/" ? "/a.pdf" : ".txt")).toStdString())
                << "\"" << folder.constData() << "\"\r\n";
        const QString markup = u"<b>Bold 𝒩<br>& <i>more"_s;
        s.lib.addJournal(markup);
        s.lib.addJournal(u"a\nb"_s);
        s.lib.write(u"Example/a\nb/x\ty.pdf", "x");
        s.lib.write(u"Homepage/a\nb.txt", "gopher://x\x1b[2J\r\n");
        QDir::setCurrent(s.lib.path(u"Example/a\nb")); // where the import dialog opens
        ShownWindow &shown = s.start();
        const auto row = [](const QAbstractItemView *list, int at) {
            return list->model()->index(at, 0).data().toString();
        };
        clickRow(shown.ui.List1, 0);
        const QPoint at = shown.ui.List1->visualRect(shown.ui.List1->model()->index(0, 0)).center();
        QHelpEvent hover(QEvent::ToolTip, at, shown.ui.List1->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(shown.ui.List1->viewport(), &hover);
        QTextDocument tooltip;
        tooltip.setHtml(QToolTip::text());
        QCOMPARE(tooltip.toPlainText(), markup);

        const QStringList before = s.lib.tree(); // Qt lists no name that is not UTF-8
        QCOMPARE(row(shown.ui.List1, 2), u"期刊"_s);
        QInputMethodEvent typed; // Chinese comes from an input method
        typed.setCommitString(u"期"_s);
        QCoreApplication::sendEvent(shown.ui.Text1, &typed);
        QCOMPARE(boxes(shown).first(), u"\"IF/\"\r\n"_s); // its own fields, not defaults
        QCOMPARE(shown.ui.List3->items(), QStringList{u"a.pdf"_s});
        QCOMPARE(s.lib.tree(), before); // no twin by another name
        doubleClickRow(shown.ui.List3, 0);
        const QString opened = shown.seams.starter.starts.value(0).value(1);
        QVERIFY(DesktopProgramStarter().start(u"touch"_s, {opened + u"~"_s}));
        QTRY_VERIFY(::access((root + "Example/" + gbk + "/a.pdf~").constData(), F_OK) == 0);
        shown.seams.prompt.answers << u"期刊"_s;
        click(shown.ui.Command4);
        QCOMPARE(shown.seams.prompt.asked, QStringList{u"期刊"_s});
        QVERIFY(::access((root + "Journal/" + gbk + ".txt").constData(), F_OK) == 0);
        QCOMPARE(shown.seams.errors.kinds(), Kinds());

        QCOMPARE(row(shown.ui.List1, 1), u"a\\nb"_s);
        clickRow(shown.ui.List1, 1);
        QCOMPARE(shown.ui.List1->toolTip() + row(shown.ui.List3, 0), u"a\\nbx\\ty.pdf"_s);
        click(shown.ui.Command3);
        const QString told = shown.seams.errors.texts().value(0);
        QVERIFY2(told.contains(u"\\x1B[2J"_s) && !told.contains(QChar(0x1b)) && !told.contains(u'\r'),
                 qPrintable(told));
        click(shown.ui.Command8);
        const QWidgetList windows = QApplication::topLevelWidgets();
        const QWidget *dialog = *std::find_if(windows.cbegin(), windows.cend(),
                                              [](const QWidget *w) { return w->objectName() == u"Form3"_s; });
        QCOMPARE(row(childNamed<QAbstractItemView>(*dialog, "File1"), 0), u"x\\ty.pdf"_s);
        QVERIFY(s.lib.exists(u"Example/a\nb/x\ty.pdf"));
    }

    // The library as a scan meets it at its worst. Links to folders above it
    // (the root folder, the application folder) would make every scan walk
    // the whole machine and are passed by; one to a folder elsewhere
    // (articles kept on another disk) is followed, and passed by once it
    // changes its mind. Folders that cannot be read are told once at the
    // start and once per Refresh, never at every key. A 100 MB IF file and a
    // notes file of one 10 MB line show their first megabyte, and a folder of
    // 100,000 articles is listed and counted whole.
    void aHostileTreeIsListedWholeAndQuickly() {
        Session s;
        s.lib.addJournal(u"Acta");
        s.lib.write(u"Elsewhere/kept.pdf", "k");
        s.lib.write(u"Journal/shut/Hidden.txt", "x");
        s.lib.write(u"Example/Shut/hidden.pdf", "x");
        s.lib.makeFolder(u"Example/Acta");
        const int articles = ::open(QFile::encodeName(s.lib.path(u"Example/Acta")).constData(), O_RDONLY);
        for (int i = 0; i < 100'000; ++i)
            ::close(::openat(articles, (QByteArray::number(i) + ".pdf").constData(), O_CREAT, 0644));
        for (const auto &[target, link] : {std::pair{u"/"_s, u"Example/Acta/root"_s},
                                           {s.lib.appDir(), u"Journal/app"_s},
                                           {s.lib.path(u"Elsewhere"), u"Example/Acta/disk"_s}})
            QVERIFY(QFile::link(target, s.lib.path(link)));
        QVERIFY(QFile::resize(s.lib.path(u"IF/Acta.txt"), 100 << 20)); // sparse: quick to make
        s.lib.write(u"Notes/Acta.txt", QByteArray(10 << 20, 'n'));
        const QStringList shut{s.lib.path(u"Journal/shut"), s.lib.path(u"Example/Shut")};
        ShownWindow &shown = s.start([&](ShownWindow &w) { w.seams.fs.deniedFolders = shut; });
        QCOMPARE(libraryShown(shown), (QStringList{u"Acta"_s} + statistics(1, 100'001)));
        clickRow(shown.ui.List1, 0);
        QCOMPARE(shown.ui.List3->listCount(), 100'001);
        for (const QString &box : {boxes(shown).at(0), boxes(shown).at(2)})
            QVERIFY(box.size() < 2 << 20 && box.endsWith(u"not shown.)\r\n"_s));
        QTest::keyClicks(shown.ui.List1, u"xyz"_s); // every key recounts, quietly
        QVERIFY(s.lib.remove(u"Example/Acta/disk") && QFile::link(u"/"_s, s.lib.path(u"Example/Acta/disk")));
        s.lib.write(u"Journal/Later.txt", {});
        click(shown.ui.Command10);
        QCOMPARE(libraryShown(shown), (QStringList{u"Acta"_s, u"Later"_s} + statistics(2, 100'000)));
        QCOMPARE(shown.seams.errors.kinds(), (Kinds{{K::UnreadableFolders}, {K::UnreadableFolders}}));
        for (const QString &told : shown.seams.errors.texts())
            QVERIFY(told.contains(shut[0]) && told.contains(shut[1]));
    }

    // The library on a USB stick: a deleted article goes to the trash at the
    // stick's top, restorable wherever the stick is mounted: the shared one
    // when it is sticky and no link, else the person's own, and where that is
    // a link, none: the file is deleted for good, and the person told.
    void deletingOnAnotherDiskUsesThatDisksTrash() {
        Session s;
        s.lib.addJournal(u"Acta");
        // The third name is as long as a name may be: the trash takes a shorter one.
        const QString longest = QString(251, u'c');
        for (const QString &name : {u"a"_s, u"b"_s, longest, u"d"_s, u"e"_s})
            s.lib.write(u"Example/Acta/"_s + name + u".pdf"_s, name.left(1).toLatin1());
        ShownWindow &shown = s.start();
        shown.seams.fs.otherDevice = s.lib.appDir(); // the stick, mounted at the application folder
        clickRow(shown.ui.List1, 0);
        const QString uid = QString::number(::geteuid());
        const QByteArray shared = QFile::encodeName(s.lib.path(u".Trash"));
        const auto behindLink = [&](const QString &folder) {
            return QFile::rename(s.lib.path(folder), s.lib.path(folder + u'~')) &&
                   QFile::link(s.lib.path(folder + u'~'), s.lib.path(folder));
        };
        // The stick's top before each deletion: nothing there yet (the own trash
        // is made), a shared trash, one that is not sticky, a link for the
        // shared trash (the own one takes the file), a link for the own trash
        // (none does).
        const QList<std::function<bool()>> before{
            [] { return true; },
            [&] { return ::mkdir(shared.constData(), 0) == 0 && ::chmod(shared.constData(), 01777) == 0; },
            [&] { return ::chmod(shared.constData(), 0777) == 0; },
            [&] { return ::chmod(shared.constData(), 01777) == 0 && behindLink(u".Trash"_s); },
            [&] { return behindLink(u".Trash-"_s + uid); }};
        for (const auto &top : before) {
            QVERIFY(top());
            clickRow(shown.ui.List3, 0);
            click(shown.ui.Command9);
        }
        using Files = QMap<QString, QByteArray>;
        QCOMPARE(s.lib.files(u".Trash-"_s + uid + u"~/files"_s),
                 (Files{{u"a.pdf"_s, "a"}, {longest.left(235), "c"}, {u"d.pdf"_s, "d"}}));
        QCOMPARE(s.lib.files(u".Trash~/"_s + uid + u"/files"_s), (Files{{u"b.pdf"_s, "b"}}));
        QVERIFY(s.lib.read(u".Trash~/"_s + uid + u"/info/b.pdf.trashinfo"_s)
                    .startsWith("[Trash Info]\nPath=Example/Acta/b.pdf\n"));
        QCOMPARE(s.lib.files(u"Example"), Files());
        QCOMPARE(shown.seams.errors.kinds(), Kinds{{K::DeletedForGood}});
        QVERIFY(QDir(s.dataHome.path()).isEmpty());
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
