// The store on a real disk: record files and their encodings, the scanners
// that fill the lists, and the blank-name purge. Line ends are
// fuzz_record_display's part, the order of names fuzz_lists'.
#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/RecordFile.h"
#include "library/ShowJournal.h"
#include "library/TextEncoding.h"
#include "platform/FileNames.h"
#include "platform/PosixFileSystem.h"
#include "support/TempLibrary.h"

#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void recordFilesAreWrittenOnceAndReadInTheirEncoding();
    void scannersListFilesFirstThenSubfoldersAndEnd();
    void purgeDeletesOneBlankNameFilePerRun();

private:
    PosixFileSystem fs;
};

// Never over a file, through a link or into a missing folder, and nothing is
// left beside them. A byte-order mark goes; bytes that are not UTF-8 are code
// page 936, unless they begin with UTF-16's byte-order mark. "期" is three bytes: a cut at 10 bytes leaves
// the broken fourth out.
void StoreTest::recordFilesAreWrittenOnceAndReadInTheirEncoding() {
    TempLibrary lib;
    QVERIFY(writeQuotedLine(fs, lib.path(u"Journal/a.txt"), QString()));
    QVERIFY(QFile::link(lib.path(u"outside.txt"), lib.path(u"IF/link.txt")));
    const Snapshot before = lib.snapshot();
    for (const QStringView path : {u"Journal/a.txt", u"IF/link.txt", u"Missing/a.txt"})
        QVERIFY(!writeQuotedLine(fs, lib.path(path), u"IF:"_s));
    QCOMPARE(changeBetween(before, lib.snapshot()), TreeChange{});

    DisplayText shown;
    QVERIFY(!readForDisplay(fs, lib.path(u"IF/missing.txt"), shown));
    const auto display = [&](const QByteArray &bytes, qint64 limit = kDisplayLimit) {
        lib.write(u"IF/x.txt", bytes);
        readForDisplay(fs, lib.path(u"IF/x.txt"), shown, limit);
        return shown.truncated ? shown.text + u"<cut>"_s : shown.text;
    };
    const QByteArray qiKanGbk("\xC6\xDA\xBF\xAF"); // 期刊
    QCOMPARE(display("\xEF\xBB\xBFhttp://x/\r\n"), u"http://x/\r\n"_s);
    QCOMPARE(display("\"" + qiKanGbk + ":\"\r\n" + qiKanGbk), u"\"期刊:\"\r\n期刊\r\n"_s);
    QCOMPARE(display(u"期期期期期"_s.toUtf8(), 10), u"期期期\r\n<cut>"_s);
    QCOMPARE(display(u"期期期期期"_s.toUtf8(), 15), u"期期期期期\r\n"_s);
    // A name keeps its bytes beside characters of three and four bytes, and
    // beside a surrogate written as UTF-8, which no UTF-8 may hold; a lone
    // continuation byte first.
    const QByteArray mixed = "\x80\xC6\xDA" + u"期\u0800\uFFFF𝒩🙀"_s.toUtf8() + "\xFF\xED\xA0\x80";
    QCOMPARE(bytesFromName(nameFromBytes(mixed)), mixed);
    QCOMPARE(nameFromBytes(u"\U00040000\U00100000"_s.toUtf8()), u"\U00040000\U00100000"_s); // leads F1, F4
    // UTF-16 with its byte-order mark, as Notepad saves "Unicode": a cut
    // inside a pair (𝒩 is two units) leaves it out.
    QCOMPARE(display(QByteArray("\xFE\xFF\0I\0F\xD8\x35\xDC\xA9\xD8\x35\xDC\xA9", 14), 12),
             u"IF𝒩\r\n<cut>"_s);
    // A field box shows the first MiB and says that the rest is left out.
    lib.write(u"IF/Nature.txt", QByteArray("IF 5.2\r\n").repeated(3 * 1024 * 1024 / 8));
    QCOMPARE(showFieldFile(fs, lib.appDir(), Record::ImpactFactor, u"Nature"_s).text,
             QString::fromLatin1(lib.read(u"IF/Nature.txt").left(kDisplayLimit)) + restNotShownNote());
    // Written in the locale's codeset; in UTF-8 rather than question marks
    // where the locale cannot hold the text.
    QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, "GB18030"), qiKanGbk);
    QCOMPARE(encoding::encodeForCodeset(u"期刊"_s, "ISO-8859-1"), u"期刊"_s.toUtf8());
}

// A folder's own files, then its subfolders depth first. The last four
// characters go, not UTF-16 units; shorter names give the empty item, so every
// file is still counted. A dangling link is no file; two loops (above the
// top, onto itself below a real folder) and a deep tree end. A missing folder,
// or a file where the folder belongs, lists nothing.
void StoreTest::scannersListFilesFirstThenSubfoldersAndEnd() {
    TempLibrary lib;
    for (const QString &name : u"a.txt abc z.𝒩𝒩𝒩 o/z.txt o/m.txt o/d/y.txt al/q.txt ze/p.txt"_s.split(u' '))
        lib.write(u"Journal/"_s + name, "x");
    lib.write(u"Journal/ze"_s + u"/d"_s.repeated(1000) + u"/deep.txt"_s, "x");
    for (const QString &link : u"a.txt>link.txt gone.txt>dangling.txt ..>up .>o/self"_s.split(u' '))
        QVERIFY(QFile::link(link.section(u'>', 0, 0), lib.path(u"Journal/"_s + link.section(u'>', 1))));
    QStringList items;
    for (const QStringView folder : {u"Missing", u"Journal/abc", u"Journal"})
        sosuofile1(fs, lib.path(folder), items);
    QCOMPARE(items, u"a,,link,z,q,m,z,y,p,deep"_s.split(u','));
}

// A folder is no blank-name file, nor is a file in a journal's example folder.
void StoreTest::purgeDeletesOneBlankNameFilePerRun() {
    TempLibrary lib;
    for (const QString &folder : u"Notes Journal Example IF Example/J"_s.split(u' '))
        lib.write(folder + u"/.txt"_s, "x");
    lib.makeFolder(u"Homepage/.txt");
    QStringList order;
    for (int run = 0; run < 5; ++run)
        order << QFileInfo(purgeBlankJournal(fs, lib.appDir()).path).dir().dirName();
    QCOMPARE(order, (QStringList{u"Journal"_s, u"IF"_s, u"Notes"_s, u"Example"_s, u"."_s}));
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
