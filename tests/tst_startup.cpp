#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheApplicationFolder();
};

void StartupTest::startsOnTheApplicationFolder() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.addJournal(QStringLiteral("Cell"));
    lib.makeFolder(QStringLiteral("Example/Cell"));
    lib.write(QStringLiteral("Example/Cell/paper.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(window.windowTitle(), QStringLiteral("Varnotel 1.0 - ") + lib.appDir());
    QCOMPARE(window.List1->items(), (QStringList{QStringLiteral("Cell"), QStringLiteral("Nature")}));
    QCOMPARE(window.List2->items(), QStringList{QStringLiteral("paper")});
    QCOMPARE(window.surfaceLines(),
             (QStringList{QStringLiteral(" 总计收录 2个期刊, 1篇期刊例文。"),
                          QStringLiteral(" There are 2 journals and  1 example articles.")}));
    QCOMPARE(seams.player.url(), lib.appDir() + QStringLiteral("/BGM/BGM.mp3"));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
