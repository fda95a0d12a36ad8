// The store on a real disk: paths, record files and their encodings, the
// scanners that fill the lists, the statistics lines and the blank-name purge.
#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"
#include "library/RecordFile.h"
#include "library/Statistics.h"
#include "library/TextEncoding.h"
#include "platform/PosixFileSystem.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// 期刊 in code page 936.
const QByteArray kQiKanGbk("\xC6\xDA\xBF\xAF");

QString display(const TempLibrary &lib, QStringView relative, qint64 limit = kDisplayLimit,
                bool *truncated = nullptr) {
    PosixFileSystem fs;
    DisplayText shown;
    if (!readForDisplay(fs, lib.path(relative), shown, limit))
        return u"<failed>"_s;
    if (truncated)
        *truncated = shown.truncated;
    return shown.text;
}

QStringList journalItems(const TempLibrary &lib, QStringView folder) {
    PosixFileSystem fs;
    QStringList items;
    sosuofile1(fs, lib.path(folder), items);
    return items;
}

void link(const TempLibrary &lib, QStringView target, QStringView at) {
    QVERIFY(QFile::link(lib.path(target), lib.path(at)));
}

void bindSocket(const QString &path, int &sock) {
    sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(native.size() < qsizetype(sizeof address.sun_path));
    std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void recordFilesAreWrittenOnceAndNeverThrough();
    void readingForDisplayEndsEveryLineWithCrLf_data();
    void readingForDisplayEndsEveryLineWithCrLf();
    void hugeFilesAreCutWithoutBreakingACharacter();
    void textIsWrittenInTheLocalesEncoding();
    void scannersListFilesFirstThenSubfolders();
    void scannersSkipSpecialEntriesAndEndOnLoopsAndDeepTrees();
    void statisticsLinesHaveTheirBlanks();
    void purgeDeletesOneBlankNameFilePerRun();
};

void StoreTest::recordFilesAreWrittenOnceAndNeverThrough() {
    // Names are used unchanged, blanks and a trailing .txt included; an
    // application folder at the root doubles the separator, which names the same place.
    QCOMPARE(paths::recordFile(u"/"_s, Record::Notes, u" Cell.txt "_s), u"//Notes/ Cell.txt .txt"_s);
    QCOMPARE(paths::blankNamePaths(u"/a"_s),
             (QStringList{u"/a/Journal/.txt"_s, u"/a/IF/.txt"_s, u"/a/Homepage/.txt"_s, u"/a/Notes/.txt"_s,
                          u"/a/Example//.txt"_s}));
    TempLibrary lib;
    PosixFileSystem fs;
    QVERIFY(writeQuotedLine(fs, lib.path(u"Journal/a.txt"), QString()));
    QCOMPARE(lib.read(u"Journal/a.txt"), "\"\"\r\n");
    QVERIFY(writeQuotedLine(fs, lib.path(u"Notes/期刊.txt"), u"期刊 \"x\":"_s));
    QCOMPARE(lib.read(u"Notes/期刊.txt"), u"\"期刊 \"x\":\"\r\n"_s.toUtf8());
    QCOMPARE(display(lib, u"Notes/期刊.txt"), u"\"期刊 \"x\":\"\r\n"_s);
    // An existing file, a link at the path, a missing folder: nothing is written.
    QVERIFY(!writeQuotedLine(fs, lib.path(u"Journal/a.txt"), u"other"_s));
    QCOMPARE(lib.read(u"Journal/a.txt"), "\"\"\r\n");
    link(lib, u"outside.txt", u"IF/link.txt");
    QVERIFY(!writeQuotedLine(fs, lib.path(u"IF/link.txt"), u"IF:"_s));
    QVERIFY(!writeQuotedLine(fs, lib.path(u"Missing/a.txt"), u"IF:"_s));
    QCOMPARE(lib.tree(), (QStringList{u"BGM/"_s, u"Example/"_s, u"Homepage/"_s, u"IF/"_s, u"IF/link.txt"_s,
                                      u"Journal/"_s, u"Journal/a.txt"_s, u"Notes/"_s, u"Notes/期刊.txt"_s}));
}

void StoreTest::readingForDisplayEndsEveryLineWithCrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("written by the program") << QByteArray("\"IF:\"\r\n") << u"\"IF:\"\r\n"_s;
    QTest::newRow("no final line end") << QByteArray("a\r\nb\r\nc") << u"a\r\nb\r\nc\r\n"_s;
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << u"a\r\nb\r\n"_s;
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << u"\r\n\r\nx\r\n"_s;
    QTest::newRow("LF stays inside a line") << QByteArray("a\nb") << u"a\nb\r\n"_s;
    QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFhttp://x/\r\n") << u"http://x/\r\n"_s;
    QTest::newRow("UTF-8") << u"影响因子 5.2"_s.toUtf8() << u"影响因子 5.2\r\n"_s;
    QTest::newRow("code page 936") << "\"" + kQiKanGbk + ":\"\r\n" + kQiKanGbk << u"\"期刊:\"\r\n期刊\r\n"_s;
    // Overlong and surrogate forms are not UTF-8, so these bytes are read as code page 936.
    QTest::newRow("overlong is not UTF-8") << QByteArray("\xC0\xAF") << u"\u8721\r\n"_s;
    QTest::newRow("binary") << QByteArray("\x00\x01\r\x02", 4) << u"\u0000\u0001\r\n\u0002\r\n"_s;
}

void StoreTest::readingForDisplayEndsEveryLineWithCrLf() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    TempLibrary lib;
    lib.write(u"IF/x.txt", bytes);
    QCOMPARE(display(lib, u"IF/x.txt"), shown);
    QCOMPARE(display(lib, u"IF/missing.txt"), u"<failed>"_s); // a failure, not an empty text
}

void StoreTest::hugeFilesAreCutWithoutBreakingACharacter() {
    TempLibrary lib;
    // "期" is three bytes: a limit of 10 bytes cuts the fourth one in two.
    lib.write(u"Notes/big.txt", u"期期期期期"_s.toUtf8());
    bool truncated = false;
    QCOMPARE(display(lib, u"Notes/big.txt", 10, &truncated), u"期期期\r\n"_s);
    QVERIFY(truncated);
    QCOMPARE(display(lib, u"Notes/big.txt", 15, &truncated), u"期期期期期\r\n"_s);
    QVERIFY(!truncated);
}

void StoreTest::textIsWrittenInTheLocalesEncoding() {
    QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, "GB18030"), kQiKanGbk);
    // A locale that cannot hold the text gets UTF-8 rather than question marks.
    for (const char *narrow : {"ISO-8859-1", "ANSI_X3.4-1968"})
        QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, narrow), u"期刊"_s.toUtf8());
    QVERIFY(!encoding::isValidUtf8("\xED\xA0\x80")); // a surrogate
    QVERIFY(encoding::isValidUtf8(u"𝒩 ok"_s.toUtf8()));
}

void StoreTest::scannersListFilesFirstThenSubfolders() {
    TempLibrary lib;
    for (const QStringView name :
         {u"Journal/b.txt", u"Journal/A.txt", u"Journal/a.txt", u"Journal/C.txt", u"Journal/old/Z.txt",
          u"Journal/old/deeper/Y.txt", u"Journal/old/M.txt", u"Journal/Alpha/Q.txt", u"Journal/zeta/P.txt",
          u"Example/readme.doc", u"Example/x.html", u"Example/.txt", u"Example/ab", u"Example/abcd",
          u"Example/.hidden.txt", u"Example/期刊名称.txt", u"Example/Cell.txt.txt", u"Example/a𝒩.txt"})
        lib.write(name, "x");
    // By name without regard to case, ties by exact name (upper case first);
    // a folder's subfolders only after all of its own files, depth first.
    const QStringList journals{u"A"_s, u"a"_s, u"b"_s, u"C"_s, u"Q"_s, u"M"_s, u"Z"_s, u"Y"_s, u"P"_s};
    QCOMPARE(journalItems(lib, u"Journal"), journals);
    QCOMPARE(journalItems(lib, u"Journal/"), journals);
    // The last four characters go (not UTF-16 units); shorter names give the
    // empty item, so every file is still counted.
    PosixFileSystem fs;
    QStringList articles;
    sosuofile2(fs, lib.path(u"Example"), articles);
    QCOMPARE(articles, (QStringList{u".hidden"_s, u""_s, u""_s, u""_s, u"a𝒩"_s, u"Cell.txt"_s, u"readme"_s,
                                    u"x."_s, u"期刊名称"_s}));
    // A missing folder, or a file where the folder belongs, lists nothing.
    QCOMPARE(journalItems(lib, u"Missing"), QStringList());
    QCOMPARE(journalItems(lib, u"Example/ab"), QStringList());
}

void StoreTest::scannersSkipSpecialEntriesAndEndOnLoopsAndDeepTrees() {
    TempLibrary lib;
    lib.write(u"Journal/real.txt", "x");
    QCOMPARE(::mkfifo(QFile::encodeName(lib.path(u"Journal/pipe.txt")).constData(), 0600), 0);
    int sock = -1;
    bindSocket(lib.path(u"Journal/sock.txt"), sock);
    link(lib, u"Journal/real.txt", u"Journal/link.txt");
    link(lib, u"Journal/gone.txt", u"Journal/dangling.txt");
    lib.write(u"Journal/ro.txt", "x");
    QVERIFY(QFile::setPermissions(lib.path(u"Journal/ro.txt"), QFileDevice::ReadOwner));
    lib.write(u"Journal/sub/s.txt", "x");
    link(lib, u"Journal", u"Journal/up");           // a loop back to the top
    link(lib, u"Journal/sub", u"Journal/sub/self"); // a loop onto itself, below a real folder
    QString deep = u"Journal/sub"_s;
    for (int level = 0; level < 1000; ++level)
        deep += u"/d"_s;
    lib.write(deep + u"/deep.txt"_s, "x");
    QCOMPARE(journalItems(lib, u"Journal"), (QStringList{u"link"_s, u"real"_s, u"ro"_s, u"s"_s, u"deep"_s}));
    PosixFileSystem fs;
    QVERIFY(!fs.fileExists(lib.path(u"Journal/pipe.txt")) && !fs.entryExists(lib.path(u"Journal/sock.txt")));
    ::close(sock);
}

void StoreTest::statisticsLinesHaveTheirBlanks() {
    QCOMPARE(chineseStatisticsLine(5, 12), u" 总计收录 5个期刊, 12篇期刊例文。"_s);
    QCOMPARE(englishStatisticsLine(5, 12), u" There are 5 journals and  12 example articles."_s);
    QCOMPARE(statistics(0, 0), (QStringList{chineseStatisticsLine(0, 0), englishStatisticsLine(0, 0)}));
    QCOMPARE(englishStatisticsLine(70000, 3000000000LL),
             u" There are 70000 journals and  3000000000 example articles."_s);
}

void StoreTest::purgeDeletesOneBlankNameFilePerRun() {
    TempLibrary lib;
    for (const QStringView path : {u"Notes/.txt", u"Journal/.txt", u"Example/.txt", u"IF/.txt"})
        lib.write(path, "x");
    lib.makeFolder(u"Homepage/.txt"); // a folder is not a blank-name file
    lib.write(u"Example/J/.txt", "an article of J");
    FaultyFileSystem fs;
    fs.failOn(FaultyFileSystem::Op::RemoveFile, 0, u"busy"_s);
    const PurgeOutcome failed = purgeBlankJournal(fs, lib.appDir());
    QVERIFY(failed.path == lib.path(u"Journal/.txt") && failed.result.error == u"busy"_s);
    QStringList order;
    for (int run = 0; run < 5; ++run)
        order << QFileInfo(purgeBlankJournal(fs, lib.appDir()).path).dir().dirName();
    QCOMPARE(order, (QStringList{u"Journal"_s, u"IF"_s, u"Notes"_s, u"Example"_s, u"."_s}));
    QVERIFY(lib.isFolder(u"Homepage/.txt") && lib.exists(u"Example/J/.txt"));
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
