#include "library/LibraryPaths.h"
#include "library/RecordFile.h"
#include "library/TextEncoding.h"
#include "platform/PosixFileSystem.h"
#include "support/TempLibrary.h"

#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

// 期刊 in code page 936.
const QByteArray kQiKanGbk("\xC6\xDA\xBF\xAF");

QString display(const TempLibrary &lib, const QString &relative, bool *truncated = nullptr,
                qint64 limit = kDisplayLimit) {
    PosixFileSystem fs;
    DisplayText shown;
    if (!readForDisplay(fs, lib.path(relative), shown, limit))
        return QStringLiteral("<failed>");
    if (truncated)
        *truncated = shown.truncated;
    return shown.text;
}

} // namespace

class RecordFilesTest : public QObject {
    Q_OBJECT
private slots:
    void pathsAreBuiltBelowTheApplicationFolder();
    void quotedLineWriteKeepsTheValueAsItIs();
    void readingForDisplayEndsEveryLineWithCrLf_data();
    void readingForDisplayEndsEveryLineWithCrLf();
    void readsUtf8AndCodePage936();
    void hugeFilesAreCutAtTheLimitWithoutBreakingACharacter();
};

void RecordFilesTest::pathsAreBuiltBelowTheApplicationFolder() {
    // Names are used unchanged: blanks and a trailing .txt stay. An application
    // folder at the root doubles the separator, which names the same place.
    QCOMPARE(paths::recordFile(QStringLiteral("/"), Record::Notes, QStringLiteral(" Cell.txt ")),
             QStringLiteral("//Notes/ Cell.txt .txt"));
    QCOMPARE(paths::blankNamePaths(QStringLiteral("/a")),
             (QStringList{"/a/Journal/.txt", "/a/IF/.txt", "/a/Homepage/.txt", "/a/Notes/.txt",
                          "/a/Example//.txt"}));
}

void RecordFilesTest::quotedLineWriteKeepsTheValueAsItIs() {
    TempLibrary lib;
    PosixFileSystem fs;
    QVERIFY(writeQuotedLine(fs, lib.path("Journal/a.txt"), QString()));
    QCOMPARE(lib.read("Journal/a.txt"), QByteArray("\"\"\r\n"));
    // An existing file, or a link found at the path, is never written through.
    QVERIFY(!writeQuotedLine(fs, lib.path("Journal/a.txt"), QStringLiteral("other")));
    QCOMPARE(lib.read("Journal/a.txt"), QByteArray("\"\"\r\n"));
    QVERIFY(QFile::link(lib.path("outside.txt"), lib.path("IF/link.txt")));
    QVERIFY(!writeQuotedLine(fs, lib.path("IF/link.txt"), QStringLiteral("IF:")));
    QVERIFY(!lib.exists("outside.txt"));
    QVERIFY(writeQuotedLine(fs, lib.path("Notes/期刊.txt"), QStringLiteral("期刊 \"x\":")));
    QCOMPARE(lib.read("Notes/期刊.txt"), QStringLiteral("\"期刊 \"x\":\"\r\n").toUtf8());
    // The program's own write reads back with its quotes.
    QCOMPARE(display(lib, "Notes/期刊.txt"), QStringLiteral("\"期刊 \"x\":\"\r\n"));
    // A write into a missing folder fails and says so.
    QVERIFY(!writeQuotedLine(fs, lib.path("Missing/a.txt"), QStringLiteral("IF:")));
}

void RecordFilesTest::readingForDisplayEndsEveryLineWithCrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("default") << QByteArray("\"IF:\"\r\n") << QStringLiteral("\"IF:\"\r\n");
    QTest::newRow("no final line end") << QByteArray("a\r\nb\r\nc") << QStringLiteral("a\r\nb\r\nc\r\n");
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringLiteral("\r\n\r\nx\r\n");
    QTest::newRow("LF stays inside a line") << QByteArray("a\nb") << QStringLiteral("a\nb\r\n");
    QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBFhttp://x/\r\n")
                                 << QStringLiteral("http://x/\r\n");
}

void RecordFilesTest::readingForDisplayEndsEveryLineWithCrLf() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    TempLibrary lib;
    lib.write("IF/x.txt", bytes);
    QCOMPARE(display(lib, "IF/x.txt"), shown);
}

void RecordFilesTest::readsUtf8AndCodePage936() {
    TempLibrary lib;
    lib.write("Notes/gbk.txt", "\"" + kQiKanGbk + ":\"\r\n" + kQiKanGbk);
    QCOMPARE(display(lib, "Notes/gbk.txt"), QStringLiteral("\"期刊:\"\r\n期刊\r\n"));
    lib.write("Notes/utf8.txt", QStringLiteral("影响因子 5.2").toUtf8());
    QCOMPARE(display(lib, "Notes/utf8.txt"), QStringLiteral("影响因子 5.2\r\n"));
    QVERIFY(!encoding::isValidUtf8(kQiKanGbk));
    QVERIFY(!encoding::isValidUtf8(QByteArray("\xC0\xAF")));     // overlong
    QVERIFY(!encoding::isValidUtf8(QByteArray("\xED\xA0\x80"))); // surrogate
    QVERIFY(encoding::isValidUtf8(QStringLiteral("𝒩 ok").toUtf8()));
    // Written in the locale's encoding; a locale that cannot hold the text gets UTF-8.
    QCOMPARE(encoding::encodeForCodeset(QStringLiteral("期刊"), "GB18030"), kQiKanGbk);
    QCOMPARE(encoding::encodeForCodeset(QStringLiteral("期刊"), "ISO-8859-1"),
             QStringLiteral("期刊").toUtf8());
    QCOMPARE(encoding::encodeForCodeset(QStringLiteral("期刊"), "ANSI_X3.4-1968"),
             QStringLiteral("期刊").toUtf8());
    QCOMPARE(encoding::encodeForSystem(QStringLiteral("期刊")), QStringLiteral("期刊").toUtf8()); // C.UTF-8
    // A missing file is a failure, not an empty text.
    QCOMPARE(display(lib, "Notes/none.txt"), QStringLiteral("<failed>"));
}

void RecordFilesTest::hugeFilesAreCutAtTheLimitWithoutBreakingACharacter() {
    TempLibrary lib;
    // "期" is three bytes: a limit of 10 bytes cuts the fourth one in two.
    lib.write("Notes/big.txt", QStringLiteral("期期期期期").toUtf8());
    bool truncated = false;
    QCOMPARE(display(lib, "Notes/big.txt", &truncated, 10), QStringLiteral("期期期\r\n"));
    QVERIFY(truncated);
    QCOMPARE(display(lib, "Notes/big.txt", &truncated, 15), QStringLiteral("期期期期期\r\n"));
    QVERIFY(!truncated);
    // Binary content does not stop the reading.
    lib.write("Notes/bin.txt", QByteArray("\x00\xFF\x01\r\x02", 5));
    const QString binary = display(lib, "Notes/bin.txt");
    QVERIFY(binary.endsWith(QStringLiteral("\r\n\x02\r\n")));
}

QTEST_GUILESS_MAIN(RecordFilesTest)
#include "tst_record_files.moc"
