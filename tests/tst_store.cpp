// The store on a real disk: record files and their encodings, the scanners
// that fill the lists, the statistics lines and the blank-name purge.
#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/RecordFile.h"
#include "library/Statistics.h"
#include "library/TextEncoding.h"
#include "platform/PosixFileSystem.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

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

QStringList scanned(const TempLibrary &lib, QStringView folder) {
    QStringList items;
    sosuofile1(PosixFileSystem(), lib.path(folder), items);
    return items;
}

void link(const TempLibrary &lib, QStringView target, QStringView at) {
    QVERIFY(QFile::link(lib.path(target), lib.path(at)));
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
    void scannersSkipWhatIsNoFileAndEndOnLoopsAndDeepTrees();
    void purgeDeletesOneBlankNameFilePerRun();
};

// An existing file, a link at the path, a missing folder: nothing is written.
void StoreTest::recordFilesAreWrittenOnceAndNeverThrough() {
    TempLibrary lib;
    PosixFileSystem fs;
    QVERIFY(writeQuotedLine(fs, lib.path(u"Journal/a.txt"), QString()));
    QVERIFY(!writeQuotedLine(fs, lib.path(u"Journal/a.txt"), u"other"_s));
    QCOMPARE(lib.read(u"Journal/a.txt"), "\"\"\r\n");
    link(lib, u"outside.txt", u"IF/link.txt");
    QVERIFY(!writeQuotedLine(fs, lib.path(u"IF/link.txt"), u"IF:"_s));
    QVERIFY(!writeQuotedLine(fs, lib.path(u"Missing/a.txt"), u"IF:"_s));
    QCOMPARE(lib.tree(), (QStringList{u"BGM/"_s, u"Example/"_s, u"Homepage/"_s, u"IF/"_s, u"IF/link.txt"_s,
                                      u"Journal/"_s, u"Journal/a.txt"_s, u"Notes/"_s}));
    // Counts past 32 bits are printed whole.
    QCOMPARE(englishStatisticsLine(70000, 3000000000LL),
             u" There are 70000 journals and  3000000000 example articles."_s);
}

void StoreTest::readingForDisplayEndsEveryLineWithCrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("no final line end") << QByteArray("a\r\nb\r\nc") << u"a\r\nb\r\nc\r\n"_s;
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << u"a\r\nb\r\n"_s;
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << u"\r\n\r\nx\r\n"_s;
    QTest::newRow("LF stays inside a line") << QByteArray("a\nb") << u"a\nb\r\n"_s;
    QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFhttp://x/\r\n") << u"http://x/\r\n"_s;
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

// A locale that cannot hold the text gets UTF-8 rather than question marks.
void StoreTest::textIsWrittenInTheLocalesEncoding() {
    QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, "GB18030"), kQiKanGbk);
    for (const char *narrow : {"ISO-8859-1", "ANSI_X3.4-1968"})
        QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, narrow), u"期刊"_s.toUtf8());
}

// By name without regard to case, ties by exact name (upper case first); a
// folder's subfolders only after all of its own files, depth first. The last
// four characters go (not UTF-16 units); shorter names give the empty item,
// so every file is still counted.
void StoreTest::scannersListFilesFirstThenSubfolders() {
    TempLibrary lib;
    for (const QStringView name :
         {u"Journal/b.txt", u"Journal/A.txt", u"Journal/a.txt", u"Journal/C.txt", u"Journal/old/Z.txt",
          u"Journal/old/deeper/Y.txt", u"Journal/old/M.txt", u"Journal/Alpha/Q.txt", u"Journal/zeta/P.txt",
          u"Example/readme.doc", u"Example/x.html", u"Example/ab", u"Example/abcd", u"Example/.hidden.txt",
          u"Example/期刊名称.txt", u"Example/Cell.txt.txt", u"Example/z.𝒩𝒩𝒩"})
        lib.write(name, "x");
    QCOMPARE(scanned(lib, u"Journal"),
             (QStringList{u"A"_s, u"a"_s, u"b"_s, u"C"_s, u"Q"_s, u"M"_s, u"Z"_s, u"Y"_s, u"P"_s}));
    QStringList articles;
    sosuofile2(PosixFileSystem(), lib.path(u"Example"), articles);
    QCOMPARE(articles, (QStringList{u".hidden"_s, u""_s, u""_s, u"Cell.txt"_s, u"readme"_s, u"x."_s, u"z"_s,
                                    u"期刊名称"_s}));
    // A missing folder, or a file where the folder belongs, lists nothing.
    QCOMPARE(scanned(lib, u"Missing"), QStringList());
    QCOMPARE(scanned(lib, u"Example/ab"), QStringList());
}

// Pipes and sockets are left out as the window meets them (tst_hostile).
void StoreTest::scannersSkipWhatIsNoFileAndEndOnLoopsAndDeepTrees() {
    TempLibrary lib;
    lib.write(u"Journal/real.txt", "x");
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
    QCOMPARE(scanned(lib, u"Journal"), (QStringList{u"link"_s, u"real"_s, u"ro"_s, u"s"_s, u"deep"_s}));
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
