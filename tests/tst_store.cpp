// The store on a real disk: record files and their encodings, the scanners
// that fill the lists, the statistics lines and the blank-name purge.
#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/RecordFile.h"
#include "library/ShowJournal.h"
#include "library/Statistics.h"
#include "library/TextEncoding.h"
#include "platform/PosixFileSystem.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// 期刊 in code page 936.
const QByteArray kQiKanGbk("\xC6\xDA\xBF\xAF");

// A file holding the bytes, as it is read for display; a missing file when
// the bytes are null.
QString display(const QByteArray &bytes, qint64 limit = kDisplayLimit, bool *truncated = nullptr) {
    TempLibrary lib;
    if (!bytes.isNull())
        lib.write(u"IF/x.txt", bytes);
    DisplayText shown;
    if (!readForDisplay(PosixFileSystem(), lib.path(u"IF/x.txt"), shown, limit))
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
    void textIsReadAndWrittenInItsEncoding();
    void scannersListFilesFirstThenSubfoldersAndEnd();
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

// Line ends are fuzz_record_display's part. A byte-order mark goes; bytes that
// are not UTF-8 are code page 936; a missing file is a failure, not an empty
// text. A cut at the limit never breaks a character: "期" is three bytes, and
// a limit of 10 bytes cuts the fourth one in two.
void StoreTest::textIsReadAndWrittenInItsEncoding() {
    QCOMPARE(display(""), QString());
    QCOMPARE(display(QByteArray()), u"<failed>"_s);
    QCOMPARE(display("\xEF\xBB\xBFhttp://x/\r\n"), u"http://x/\r\n"_s);
    QCOMPARE(display("\"" + kQiKanGbk + ":\"\r\n" + kQiKanGbk), u"\"期刊:\"\r\n期刊\r\n"_s);
    bool truncated = false;
    QCOMPARE(display(u"期期期期期"_s.toUtf8(), 10, &truncated), u"期期期\r\n"_s);
    QVERIFY(truncated);
    QCOMPARE(display(u"期期期期期"_s.toUtf8(), 15, &truncated), u"期期期期期\r\n"_s);
    QVERIFY(!truncated);
    // A field box shows the first MiB and says that the rest is left out.
    TempLibrary lib;
    const QByteArray huge = QByteArray("IF 5.2\r\n").repeated(3 * 1024 * 1024 / 8);
    lib.write(u"IF/Nature.txt", huge);
    PosixFileSystem fs;
    const FieldShown shown = showFieldFile(fs, lib.appDir(), Record::ImpactFactor, u"Nature"_s);
    QCOMPARE(shown.text, QString::fromLatin1(huge.left(kDisplayLimit)) + restNotShownNote());
    QVERIFY(isBilingual(restNotShownNote()));
    // Text is written in the locale's encoding, and in UTF-8 rather than
    // question marks where the locale cannot hold it.
    QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, "GB18030"), kQiKanGbk);
    for (const char *narrow : {"ISO-8859-1", "ANSI_X3.4-1968"})
        QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, narrow), u"期刊"_s.toUtf8());
}

// By name without regard to case, ties by exact name (upper case first); a
// folder's subfolders only after all of its own files, depth first. The last
// four characters go (not UTF-16 units); shorter names give the empty item,
// so every file is still counted. What is no file is left out (pipes and
// sockets as the window meets them, in tst_hostile), and loops and deep trees
// end.
void StoreTest::scannersListFilesFirstThenSubfoldersAndEnd() {
    TempLibrary lib;
    for (const QString &name : u"b A a C old/Z old/deeper/Y old/M Alpha/Q zeta/P"_s.split(u' '))
        lib.write(u"Journal/"_s + name + u".txt"_s, "x");
    for (const QString &name :
         u"readme.doc x.html ab abcd .hidden.txt 期刊名称.txt Cell.txt.txt z.𝒩𝒩𝒩"_s.split(u' '))
        lib.write(u"Example/"_s + name, "x");
    QCOMPARE(scanned(lib, u"Journal"), u"A a b C Q M Z Y P"_s.split(u' '));
    QStringList articles;
    sosuofile2(PosixFileSystem(), lib.path(u"Example"), articles);
    QCOMPARE(articles, (QStringList{u".hidden"_s, u""_s, u""_s, u"Cell.txt"_s, u"readme"_s, u"x."_s, u"z"_s,
                                    u"期刊名称"_s}));
    // A missing folder, or a file where the folder belongs, lists nothing.
    QCOMPARE(scanned(lib, u"Missing"), QStringList());
    QCOMPARE(scanned(lib, u"Example/ab"), QStringList());

    lib.write(u"IF/real.txt", "x");
    link(lib, u"IF/real.txt", u"IF/link.txt");
    link(lib, u"IF/gone.txt", u"IF/dangling.txt");
    lib.write(u"IF/ro.txt", "x");
    QVERIFY(QFile::setPermissions(lib.path(u"IF/ro.txt"), QFileDevice::ReadOwner));
    lib.write(u"IF/sub/s.txt", "x");
    link(lib, u"IF", u"IF/up");           // a loop back to the top
    link(lib, u"IF/sub", u"IF/sub/self"); // a loop onto itself, below a real folder
    lib.write(u"IF/sub"_s + u"/d"_s.repeated(1000) + u"/deep.txt"_s, "x");
    QCOMPARE(scanned(lib, u"IF"), (QStringList{u"link"_s, u"real"_s, u"ro"_s, u"s"_s, u"deep"_s}));
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
