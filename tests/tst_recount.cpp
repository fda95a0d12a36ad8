// Recounts after changes made behind the program's back: after every change,
// the window lists exactly what a fresh full scan of the disk lists. This is
// the proof that the remembered listings equal a fresh scan.
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <tuple>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// How the program learns what changed.
struct Mode {
    bool watchable;             // folders are watched once the window has painted
    qint64 granularityMs;       // folder times cut down to this (a coarse file system); 0 keeps them
    bool loseNews;              // the watch's news is lost now and then
    bool settledAtStart = true; // else the catalogue changed within the tick start-up read it in
    bool live = false;          // nobody asks for a recount: the window follows the disk by itself
    qint64 slackNs() const { return (granularityMs + 15) * 1'000'000; } // the granularity and a few ticks
};

// Folders opened one at a time (a path may be longer than the kernel takes),
// links followed; -1 when not there. Each step closes the folder it leaves.
int openedBelow(int folder, const QString &name, bool make = false) {
    const QByteArray bytes = QFile::encodeName(name);
    if (make)
        ::mkdirat(folder, bytes.constData(), 0755);
    const int next = ::openat(folder, bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(folder);
    return next;
}
int openDeep(const TempLibrary &lib, const QString &relative) {
    int folder = ::open(QFile::encodeName(lib.appDir()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString &name : relative.split(u'/', Qt::SkipEmptyParts))
        folder = openedBelow(folder, name);
    return folder;
}
void makeFileIn(int folder, const QString &name) {
    ::close(::openat(folder, QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

// Only a few more descriptors may be opened until the guard goes: a walk
// must not hold one per folder it is below.
auto fewDescriptors() {
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    int free = 0; // a new descriptor takes the lowest number free
    while (::fcntl(free, F_GETFD) != -1)
        ++free;
    const rlimit few{rlim_t(free + 12), saved.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &few);
    return qScopeGuard([saved] { ::setrlimit(RLIMIT_NOFILE, &saved); });
}

// How a log names a path that may run to thousands of characters.
QString brief(const QString &path) {
    return path.size() > 90 ? path.left(50) + u"…"_s + path.right(30) : path;
}

// Journals with and without example folders, files and folders at several depths.
void makeCatalogue(const TempLibrary &lib) {
    for (const QStringView name : {u"Acta", u"Cell", u"Nature", u"物理学报"})
        lib.addJournal(name);
    for (const QStringView file :
         {u"Journal/old/Lancet.txt", u"Example/Acta/a.pdf", u"Example/Acta/drafts/b.pdf",
          u"Example/Nature/n.pdf", u"Example/物理学报/模板/2024/p.pdf"})
        lib.write(file, "x");
    lib.makeFolder(u"Example/Cell");
}

// The program started on a catalogue, its window not shown yet: the watches
// begin after the first frame, so whatever changes now falls before them.
struct StartedWindow {
    explicit StartedWindow(const Mode &mode) : window(lib.appDir(), seams.platform()) {
        // Nothing asks the file system before start-up: it is made as the mode has it here.
        seams.fs.watchable = mode.watchable;
        seams.fs.timestampGranularityNs = mode.granularityMs * 1'000'000;
        seams.fs.slackNs = mode.granularityMs > 0 ? mode.slackNs() : 0;
        makeCatalogue(lib);
        if (mode.settledAtStart)
            QTest::qWait(int(mode.slackNs() / 1'000'000));
        else
            lib.write(u"Example/Acta/first.pdf", "1");
        window.Form_Load();
    }
    TempLibrary lib;
    TestPlatform seams;
    Form1 window;
    MainControls ui{window};
};

// Changes a file manager or a script makes, anywhere below Journal and Example.
// Each may fail, as it may for a person (a name taken, a folder moved into
// itself); the disk then stays as it was. Each returns the paths it touched.
struct Disk {
    // One change of any kind, as the log of a failing run names it.
    QString changeSomething() const {
        // What it is called, what it makes (nothing: a delete), and whether in place of an entry.
        static const std::tuple<const char *, QString (Disk::*)(const QString &) const, bool> kinds[]{
            {"new file", &Disk::makeFile, false},
            {"new folder", &Disk::makeFolder, false},
            {"new link", &Disk::makeLink, false},
            {"new FIFO", &Disk::makeFifo, false},
            {"delete", nullptr, true},
            {"replace by a file", &Disk::makeFile, true},
            {"replace by a folder", &Disk::makeFolder, true},
            {"replace by a link", &Disk::makeLink, true},
            {"rename or move", &Disk::moveHere, false},
            {"replace a whole tree", &Disk::replaceTree, false},
            {"a link target comes or goes", &Disk::comeOrGo, false},
            {"new deep chain", &Disk::makeChain, false}};
        const auto &[name, make, inPlaceOfAnEntry] = kinds[random.bounded(int(std::size(kinds)))];
        const QString path = inPlaceOfAnEntry ? pick(below(false)) : pick(below(true)) + u'/' + newName();
        if (inPlaceOfAnEntry)
            lib.remove(path);
        return QLatin1String(name) + u' ' + brief(make ? (this->*make)(path) : path);
    }

    QString newName() const {
        static const QStringList stems{u"a"_s,        u"B"_s, u"b"_s, u"Nature"_s,  u"期刊"_s,
                                       u"物理学报"_s, u"Ä"_s, u"ä"_s, u".hidden"_s, u"long name"_s};
        static const QStringList endings{u".txt"_s, u".TXT"_s, u".pdf"_s, u""_s};
        const QString stem = pick(stems), ending = pick(endings);
        // Short names too: fewer than four characters give the empty item.
        return random.bounded(6) == 0 ? stem.left(2) : stem + QString::number(random.bounded(40)) + ending;
    }

    QString makeFile(const QString &path) const {
        QFile(lib.path(path)).open(QIODevice::NewOnly); // never over an entry there
        return path;
    }
    QString makeFolder(const QString &path) const {
        ::mkdir(native(path).constData(), 0755);
        for (int i = random.bounded(3); i > 0; --i)
            makeFile(path + u'/' + newName());
        return path;
    }
    // To a folder or a file of the library (an ancestor makes a loop), or to
    // the place outside that comes and goes.
    QString makeLink(const QString &path) const {
        const QString target = random.bounded(4) == 0 ? kComesAndGoes : pick(below(false) + below(true));
        QFile::link(lib.path(target), lib.path(path));
        return path;
    }
    QString makeFifo(const QString &path) const {
        ::mkfifo(native(path).constData(), 0600);
        return path;
    }
    // Some hundreds of folders, each in the last, with names long enough that
    // their paths soon pass what the kernel takes in one call; a file now and
    // then, and on the way a link to a folder of the library, through which
    // the walk may go as deep again.
    QString makeChain(const QString &path) const {
        const int levels = 100 + random.bounded(200), linkAt = random.bounded(levels);
        int folder = openedBelow(openDeep(lib, path.section(u'/', 0, -2)), path.section(u'/', -1), true);
        for (int level = 0; level < levels && folder >= 0; ++level) {
            if (random.bounded(30) == 0)
                makeFileIn(folder, newName());
            if (level == linkAt)
                ::symlinkat(QFile::encodeName(lib.path(pick(below(true)))).constData(), folder, "link");
            folder = openedBelow(folder, u"第%1层"_s.arg(level) + QString(14, u'深'), true);
        }
        makeFileIn(folder, u"bottom.pdf"_s);
        ::close(folder);
        return path;
    }
    // Someone moves the folder above the one the program is about to read (a
    // folder at the top itself) to the top of Example, as the program reads.
    QString moveAwayWhileRead(const QString &folder) const {
        QStringList names = folder.mid(lib.appDir().size()).split(u'/', Qt::SkipEmptyParts);
        if (names.size() > 2)
            names.removeLast();
        if (names.size() < 2)
            return u"nothing moved"_s;
        const QString name = names.takeLast(), moved = u"moved %1"_s.arg(random.bounded(1000));
        const int from = openDeep(lib, names.join(u'/')), to = openDeep(lib, u"Example"_s);
        ::renameat(from, QFile::encodeName(name).constData(), to, QFile::encodeName(moved).constData());
        ::close(from);
        ::close(to);
        return brief(names.join(u'/') + u'/' + name) + u" -> Example/"_s + moved;
    }
    // Someone writes a file into the folder the program is about to read.
    QString makeFileWhileRead(const QString &folder) const {
        const QString name = newName();
        QFile(folder + name).open(QIODevice::NewOnly);
        return u"new file "_s + brief(folder.mid(lib.appDir().size()) + name);
    }
    QString moveHere(const QString &path) const { return move(pick(below(false)), path); }
    QString replaceTree(const QString &) const {
        const QString root = pick(below(true)).section(u'/', 0, 0);
        move(root, root + u".old"_s);
        return makeFolder(root);
    }
    QString comeOrGo(const QString &) const {
        if (!lib.remove(kComesAndGoes))
            random.bounded(2) == 0 ? makeFile(kComesAndGoes) : makeFolder(kComesAndGoes);
        return kComesAndGoes;
    }
    // Over an entry there too, as rename(2) does.
    QString move(const QString &from, const QString &to) const {
        std::rename(native(from).constData(), native(to).constData());
        return from + u" -> "_s + to;
    }
    QByteArray native(const QString &relative) const { return QFile::encodeName(lib.path(relative)); }

    // Entries below the two trees, not through links, sorted (the same seed
    // makes the same changes): folders, roots included, or all but the roots.
    QStringList below(bool folders) const {
        static const QRegularExpression folder(u"^(Journal|Example)(/.+)?/$"_s),
            inside(u"^(Journal|Example)/.+"_s);
        return lib.tree()
            .filter(folders ? folder : inside)
            .replaceInStrings(QRegularExpression(u"/$"_s), QString());
    }
    QString pick(const QStringList &from) const {
        return from.isEmpty() ? u"Example"_s : from.at(random.bounded(int(from.size())));
    }

    const TempLibrary &lib;
    QRandomGenerator &random;
    const QString kComesAndGoes = u"elsewhere"_s;
};

} // namespace

Q_DECLARE_METATYPE(Mode)

class RecountTest : public QObject {
    Q_OBJECT
private slots:
    void everyRecountEqualsAFullScan_data() {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("watched") << Mode{true, 0, false};
        QTest::newRow("asked, coarse timestamps") << Mode{false, 25, false};
        // The catalogue changes within the tick start-up reads it in, and again before the watches begin.
        QTest::newRow("watched, news lost now and then") << Mode{true, 25, true, false};
        QTest::newRow("followed by itself") << Mode{true, 0, false, true, true};
        QTest::newRow("followed by itself, news lost now and then") << Mode{true, 25, true, true, true};
    }

    // Several changes may fall within one tick of the timestamps' clock, and a
    // recount may follow at once: equal times then prove nothing.
    void everyRecountEqualsAFullScan() {
        QFETCH(Mode, mode);
        const quint32 seed =
            qEnvironmentVariable("VARNOTEL_SEED", QString::number(QRandomGenerator::global()->generate()))
                .toUInt();
        QRandomGenerator random(seed);
        StartedWindow program(mode);
        const Disk disk{program.lib, random};
        QString log = u"VARNOTEL_SEED=%1 makes these changes again:"_s.arg(seed);
        for (int step = 0; step <= 50; ++step) {
            for (int n = 1 + random.bounded(3); n > 0; --n)
                log += u"\n  %1: %2"_s.arg(step).arg(disk.changeSomething());
            if (step == 0) { // the first changes fall between start-up and the watches
                program.window.show();
                QVERIFY(QTest::qWaitForWindowExposed(&program.window));
            }
            if (mode.loseNews && random.bounded(4) == 0) {
                program.seams.fs.loseWatchNews();
                log += u"\n  %1: news lost"_s.arg(step);
            }
            // Now and then a folder moves, or a file comes, while the program
            // reads: what that recount shows may be one recount behind.
            bool movedWhileRead = false;
            if (random.bounded(3) == 0)
                program.seams.fs.changeWhileReading(random.bounded(40), [&](const QString &folder) {
                    log += u"\n  %1: while reading, %2"_s.arg(step).arg(random.bounded(2) == 0
                                                                            ? disk.moveAwayWhileRead(folder)
                                                                            : disk.makeFileWhileRead(folder));
                    movedWhileRead = true;
                });
            if (mode.live) {
                // The burst settles: the window shows it by itself, soon.
                std::ignore = QTest::qWaitFor(
                    [&] { return libraryShown(program.ui) == libraryOnDisk(program.lib.appDir()); }, 5000);
            } else {
                // A recount as a person starts it: Refresh, or a key no journal begins with.
                random.bounded(2) == 0 ? click(program.ui.Command10)
                                       : QTest::keyClick(program.ui.List1, Qt::Key_Q);
            }
            program.seams.fs.changeWhileReading(-1, {});
            if (movedWhileRead && !mode.live)
                click(program.ui.Command10);
            const QStringList shown = libraryShown(program.ui), onDisk = libraryOnDisk(program.lib.appDir());
            QVERIFY2(shown == onDisk,
                     qPrintable(log + u"\nthe window shows [%1], a full scan lists [%2]"_s.arg(
                                          shown.join(u'|'), onDisk.join(u'|'))));
            // Now and then the timestamps settle, and the watches come on.
            if (random.bounded(4) == 0)
                QTest::qWait(int(mode.granularityMs) + 20);
        }
    }

    // A journal and its article 40 folders of 200 characters down, deeper
    // than any path may be long: listed, counted and watched like any other,
    // and the article opened by its whole path.
    void aFolderDeeperThanAnyPathIsListedAndCounted() {
        Session s;
        s.lib.addJournal(u"Deep");
        const QString step(200, u'd');
        int articles = openedBelow(openDeep(s.lib, u"Example"_s), u"Deep"_s, true);
        for (int level = 0; level < 40; ++level)
            articles = openedBelow(articles, step, true);
        makeFileIn(articles, u"a.pdf"_s);
        s.lib.write(u"Example/Deep/e/c.pdf", "c"); // listed after the deep folder, by a path of its own
        ShownWindow &shown = s.start();
        QCOMPARE(libraryShown(shown), QStringList{u"Deep"_s} + statistics(1, 2));
        const auto few = fewDescriptors();
        QTRY_VERIFY(!shown.window.settingUpWatches());
        makeFileIn(articles, u"b.pdf"_s);
        QTest::keyClick(shown.ui.List1, Qt::Key_Q);
        QCOMPARE(libraryShown(shown), QStringList{u"Deep"_s} + statistics(1, 3));
        clickRow(shown.ui.List1, 0);
        QCOMPARE(shown.ui.List3->items(), (QStringList{u"a.pdf"_s, u"b.pdf"_s, u"c.pdf"_s}));
        doubleClickRow(shown.ui.List3, 1);
        doubleClickRow(shown.ui.List3, 2);
        const QString deep = s.lib.path(u"Example/Deep/"_s + (step + u'/').repeated(40) + u"b.pdf"_s);
        QCOMPARE(shown.seams.starter.starts,
                 (QList<QStringList>{{u"xdg-open"_s, deep},
                                     {u"xdg-open"_s, s.lib.path(u"Example/Deep/e/c.pdf")}}));
        QCOMPARE(shown.seams.errors.kinds(), Kinds{});
        ::close(articles);
    }
};

QTEST_MAIN(RecountTest)
#include "tst_recount.moc"
