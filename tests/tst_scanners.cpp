#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/Statistics.h"
#include "platform/PosixFileSystem.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;

namespace {

QStringList scan(const TempLibrary &lib, const QString &folder, ItemText itemText) {
    PosixFileSystem fs;
    QStringList items;
    scanFolder(fs, lib.path(folder), itemText, items);
    return items;
}

void makeLink(const TempLibrary &lib, const QString &target, const QString &link) {
    QVERIFY(QFile::link(target, lib.path(link)));
}

} // namespace

class ScannersTest : public QObject {
    Q_OBJECT
private slots:
    void listsFilesFirstThenSubfoldersWithTheirItemTexts();
    void specialFilesAreNotListedButLinkedFilesAre();
    void linkLoopsAndDeepTreesEndTheScan();
    void missingFoldersListNothing();
    void statisticsLinesHaveTheirBlanks();
    void purgeDeletesOneBlankNameFilePerRun();
};

void ScannersTest::listsFilesFirstThenSubfoldersWithTheirItemTexts() {
    TempLibrary lib;
    for (const char *name :
         {"Journal/b.txt", "Journal/A.txt", "Journal/a.txt", "Journal/C.txt", "Journal/old/Z.txt",
          "Journal/old/deeper/Y.txt", "Journal/old/M.txt", "Journal/Alpha/Q.txt", "Journal/zeta/P.txt",
          "Example/readme.doc", "Example/x.html", "Example/.txt", "Example/ab", "Example/abcd",
          "Example/.hidden.txt", "Example/期刊名称.txt", "Example/paper.pdf", "Example/Cell.txt.txt"})
        lib.write(QString::fromUtf8(name), "x");
    // Case-insensitive by name, ties by exact name (upper case first); a
    // folder's subfolders only after all its own files.
    QCOMPARE(scan(lib, "Journal", ItemText::WithoutLastFour),
             (QStringList{"A", "a", "b", "C", "Q", "M", "Z", "Y", "P"}));
    // A trailing separator on the path changes nothing.
    QStringList withSlash;
    PosixFileSystem fs;
    sosuofile1(fs, lib.path("Journal/"), withSlash);
    QCOMPARE(withSlash, scan(lib, "Journal", ItemText::WithoutLastFour));
    // Short names give the empty item, so every file is still counted.
    QCOMPARE(scan(lib, "Example", ItemText::WithoutLastFour),
             (QStringList{".hidden", "", "", "", "Cell.txt", "paper", "readme", "x.", "期刊名称"}));
    QCOMPARE(scan(lib, "Example", ItemText::WholeName),
             (QStringList{".hidden.txt", ".txt", "ab", "abcd", "Cell.txt.txt", "paper.pdf", "readme.doc",
                          "x.html", "期刊名称.txt"}));
    // Characters, not UTF-16 units: a name is never cut inside a character.
    QCOMPARE(withoutLastFourCharacters(QStringLiteral("a𝒩.txt")), QStringLiteral("a𝒩"));
    QCOMPARE(withoutLastFourCharacters(QStringLiteral("a𝒩txt")), QStringLiteral("a"));
}

void ScannersTest::specialFilesAreNotListedButLinkedFilesAre() {
    TempLibrary lib;
    lib.write("Example/real.pdf", "x");
    QCOMPARE(::mkfifo(QFile::encodeName(lib.path("Example/pipe.pdf")).constData(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray sockPath = QFile::encodeName(lib.path("Example/sock.pdf"));
    QVERIFY(sockPath.size() < qsizetype(sizeof address.sun_path));
    std::memcpy(address.sun_path, sockPath.constData(), static_cast<size_t>(sockPath.size()));
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    makeLink(lib, lib.path("Example/real.pdf"), "Example/link.pdf");
    makeLink(lib, lib.path("Example/gone.pdf"), "Example/dangling.pdf");
    lib.write("Example/ro.pdf", "x");
    QVERIFY(QFile::setPermissions(lib.path("Example/ro.pdf"), QFileDevice::ReadOwner));
    QCOMPARE(scan(lib, "Example", ItemText::WholeName), (QStringList{"link.pdf", "real.pdf", "ro.pdf"}));
    PosixFileSystem fs;
    QVERIFY(!fs.fileExists(lib.path("Example/pipe.pdf")));
    QVERIFY(!fs.entryExists(lib.path("Example/sock.pdf")));
    QVERIFY(fs.fileExists(lib.path("Example/link.pdf")));
    ::close(sock);
}

void ScannersTest::linkLoopsAndDeepTreesEndTheScan() {
    TempLibrary lib;
    lib.write("Example/J/a.pdf", "x");
    makeLink(lib, lib.path("Example"), "Example/J/up");     // a loop back to the top
    makeLink(lib, lib.path("Example/J"), "Example/J/self"); // a loop onto itself
    QCOMPARE(scan(lib, "Example", ItemText::WholeName), QStringList{"a.pdf"});

    QString deep = QStringLiteral("Journal");
    for (int level = 0; level < 1000; ++level)
        deep += QStringLiteral("/d");
    lib.makeFolder(deep);
    lib.write(deep + "/Deep.txt", "\"\"\r\n");
    QCOMPARE(scan(lib, "Journal", ItemText::WithoutLastFour), QStringList{"Deep"});
}

void ScannersTest::missingFoldersListNothing() {
    TempLibrary lib(false);
    QVERIFY(scan(lib, "Journal", ItemText::WithoutLastFour).isEmpty());
    lib.write("Example", "a file where a folder belongs");
    QVERIFY(scan(lib, "Example", ItemText::WholeName).isEmpty());
}

void ScannersTest::statisticsLinesHaveTheirBlanks() {
    QCOMPARE(chineseStatisticsLine(5, 12), QStringLiteral(" 总计收录 5个期刊, 12篇期刊例文。"));
    QCOMPARE(englishStatisticsLine(5, 12), QStringLiteral(" There are 5 journals and  12 example articles."));
    QCOMPARE(chineseStatisticsLine(0, 0), QStringLiteral(" 总计收录 0个期刊, 0篇期刊例文。"));
    QCOMPARE(englishStatisticsLine(0, 0), QStringLiteral(" There are 0 journals and  0 example articles."));
    QCOMPARE(englishStatisticsLine(70000, 3000000000LL),
             QStringLiteral(" There are 70000 journals and  3000000000 example articles."));
}

void ScannersTest::purgeDeletesOneBlankNameFilePerRun() {
    TempLibrary lib;
    for (const char *path : {"Notes/.txt", "Journal/.txt", "Example/.txt", "IF/.txt"})
        lib.write(QLatin1String(path), "x");
    lib.makeFolder("Homepage/.txt"); // a folder is not a blank-name file
    lib.write("Example/J/.txt", "an article of J, not blank-name");
    PosixFileSystem fs;
    QStringList order;
    for (int run = 0; run < 5; ++run)
        order << QFileInfo(purgeBlankJournal(fs, lib.appDir()).path).dir().dirName();
    QCOMPARE(order, (QStringList{"Journal", "IF", "Notes", "Example", "."}));
    QVERIFY(lib.isFolder("Homepage/.txt"));
    QVERIFY(lib.exists("Example/J/.txt"));

    FaultyFileSystem faulty;
    faulty.failOn(FaultyFileSystem::Op::RemoveFile, 0, QStringLiteral("busy"));
    lib.write("Journal/.txt", "x");
    const PurgeOutcome failed = purgeBlankJournal(faulty, lib.appDir());
    QCOMPARE(failed.path, lib.path("Journal/.txt"));
    QCOMPARE(failed.result.error, QStringLiteral("busy"));
    QVERIFY(lib.exists("Journal/.txt"));
}

QTEST_GUILESS_MAIN(ScannersTest)
#include "tst_scanners.moc"
