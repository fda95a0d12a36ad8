#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

struct Control {
    const char *name;
    const char *caption;
    QRect twips;
};

// The window as it is stored: every control's caption and place, in twips.
const Control kControls[] = {
    {"Picture1", "", {0, 480, 5055, 255}},
    {"Picture2", "", {0, 720, 5055, 255}},
    {"Label6", "跳转 Skip to:", {120, 1320, 1335, 255}},
    {"Text1", "", {1560, 1200, 5895, 495}},
    {"Command12", "用户手册 User's Manual", {4080, 1830, 2055, 345}},
    {"Command10", "刷新 Refresh", {6240, 1800, 1215, 375}},
    {"Label1", "期刊列表 Journal List:", {120, 2040, 2415, 255}},
    {"List1", "", {120, 2280, 7335, 6585}},
    {"List2", "", {5520, 3000, 1695, 1410}},
    {"Command7", "添加期刊 Add journal", {120, 8880, 1935, 375}},
    {"Command4", "修改期刊名称 Modify journal title", {2160, 8880, 2775, 375}},
    {"Command11", "删除该期刊 Delete this journal", {5040, 8880, 2415, 375}},
    {"Label4", "影响因子 Impact factor (IF):", {7560, 0, 3015, 255}},
    {"Text3", "", {7560, 240, 7215, 735}},
    {"Command5", "修改影响因子 Modify IF", {12720, 1080, 2055, 375}},
    {"Label5", "期刊链接 Journal homepage:", {7560, 1320, 2655, 255}},
    {"Text2", "", {7560, 1560, 7215, 735}},
    {"Command6", "修改期刊链接 Modify journal homepage", {8400, 2400, 3255, 375}},
    {"Command3", "打开期刊链接 Open journal homepage", {11760, 2400, 3015, 375}},
    {"Label2", "期刊例文 Journal example articles:", {7560, 3000, 3015, 255}},
    {"List3", "", {7560, 3240, 7215, 2760}},
    {"Command8", "添加期刊例文 Add example article", {9720, 6120, 2775, 375}},
    {"Command9", "删除该文件 Delete this file", {12600, 6120, 2175, 375}},
    {"Label3", "期刊备注 Notes:", {7560, 6720, 3015, 255}},
    {"Text4", "", {7560, 6960, 7215, 1815}},
    {"Command1", "修改备注 Modify notes", {10800, 8880, 1935, 375}},
    {"Command2", "作者博客 Author's blog", {12840, 8880, 1935, 375}},
    {"WindowsMediaPlayer1", "", {120, 9360, 14655, 735}},
};

bool hasInk(const QImage &image, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheApplicationFolder();
    void purgesOneBlankNameFileBeforeScanning();
    void missingFoldersAndFailedPurgesDoNotStopStartUp();
    void everyControlHasItsCaptionPlaceAndLook();
    void recountsRebuildFromDisk();
};

void StartupTest::startsOnTheApplicationFolder() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.addJournal(QStringLiteral("cell"));
    lib.write(QStringLiteral("Example/cell/paper.pdf"), "x");
    lib.write(QStringLiteral("Example/stray.doc"), "x");
    TestPlatform seams;
    // Started from elsewhere: every path is still below the application folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QDir::setCurrent(previous);

    QCOMPARE(window.windowTitle(), QStringLiteral("Varnotel 1.0 - ") + lib.appDir());
    QCOMPARE(window.List1->items(), (QStringList{"cell", "Nature"}));
    QCOMPARE(window.List2->items(), (QStringList{"stray", "paper"}));
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->listCount(), 0);
    for (TextBox *box : {window.Text2, window.Text3, window.Text4})
        QVERIFY(box->text().isEmpty());
    QCOMPARE(window.surfaceLines(), statistics(2, 2));
    QCOMPARE(seams.player.url(), lib.path(QStringLiteral("BGM/BGM.mp3")));
    QCOMPARE(seams.player.urlSets, 1);
    QVERIFY(window.Timer1->isActive());
    QCOMPARE(window.Timer1->interval(), 1000);
    QVERIFY(seams.errors.messages.isEmpty());
}

void StartupTest::purgesOneBlankNameFileBeforeScanning() {
    TempLibrary lib;
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    lib.write(QStringLiteral("IF/.txt"), "\"IF:\"\r\n");
    for (const bool firstStart : {true, false}) {
        TestPlatform seams;
        Form1 window(lib.appDir(), seams.platform());
        window.Form_Load();
        QCOMPARE(window.List1->listCount(), 0);                      // the blank journal went before the scan
        QCOMPARE(lib.exists(QStringLiteral("IF/.txt")), firstStart); // the IF file waits a start
    }
}

void StartupTest::missingFoldersAndFailedPurgesDoNotStopStartUp() {
    TempLibrary empty(false);
    TestPlatform quiet;
    Form1 bare(empty.appDir(), quiet.platform());
    bare.Form_Load();
    QCOMPARE(bare.surfaceLines(), statistics(0, 0));
    QVERIFY(quiet.errors.messages.isEmpty());
    QVERIFY(empty.tree().isEmpty()); // start-up creates nothing

    TempLibrary lib;
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    lib.addJournal(QStringLiteral("Acta"));
    TestPlatform seams;
    seams.fs.failOn(FaultyFileSystem::Op::RemoveFile, 0, QStringLiteral("Permission denied"));
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(seams.errors.messages.size(), 1);
    QVERIFY(seams.errors.messages.first().contains(QStringLiteral("Permission denied")));
    QVERIFY(seams.errors.messages.first().contains(lib.path(QStringLiteral("Journal/.txt"))));
    QCOMPARE(window.List1->items(), (QStringList{QString(), "Acta"}));
    QCOMPARE(seams.player.urlSets, 1);
}

void StartupTest::everyControlHasItsCaptionPlaceAndLook() {
    TempLibrary lib;
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    QCOMPARE(window.size(), QSize(992, 678));
    for (const Control &expected : kControls) {
        const QString name = QLatin1String(expected.name);
        auto *control = window.findChild<QWidget *>(name);
        QVERIFY2(control, expected.name);
        const QRect &t = expected.twips;
        QCOMPARE(control->geometry(), QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), QString::fromUtf8(expected.caption));
            QCOMPARE(button->palette().color(QPalette::Button), QColor(224, 224, 224));
            QCOMPARE(button->font().pointSizeF(), 9.0);
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->text(), QString::fromUtf8(expected.caption));
        }
        QCOMPARE(control->isVisibleTo(&window), name != QLatin1String("List2"));
    }
    QCOMPARE(window.font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(window.font().pointSizeF(), 9.75);
    QCOMPARE(window.Text3->font().pointSizeF(), 20.25);
    QVERIFY(window.Text3->font().bold());
    QVERIFY(!window.windowIcon().isNull());
}

void StartupTest::recountsRebuildFromDisk() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.write(QStringLiteral("Example/Acta/p1.pdf"), "x");
    lib.write(QStringLiteral("Example/Other/sub/p2.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load(); // printed before the window is first shown, and kept
    QVERIFY(hasInk(window.grab().toImage(), QRect(0, 0, 300, 30)));

    // With no journal selected the whole Example tree lands in List3.
    window.RecountExamples();
    QCOMPARE(window.List3->items(), (QStringList{"p1.pdf", "p2.pdf"}));
    window.List1->setListIndex(0);
    lib.write(QStringLiteral("Example/Acta/p0.doc"), "x");
    window.RecountExamples();
    QCOMPARE(window.List1->text(), QStringLiteral("Acta"));
    QCOMPARE(window.List3->items(), (QStringList{"p0.doc", "p1.pdf"}));
    QCOMPARE(window.List3->listIndex(), -1);
    QCOMPARE(window.surfaceLines(), statistics(1, 3));

    window.RecountLibrary();
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->listCount(), 0);
    QCOMPARE(window.surfaceLines(), statistics(1, 3));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
