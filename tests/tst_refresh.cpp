#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

class RefreshTest : public QObject {
    Q_OBJECT
private slots:
    void rebuildsFromDiskAndKeepsTheBoxes();
    void purgesOneBlankNameFilePerClick();
};

void RefreshTest::rebuildsFromDiskAndKeepsTheBoxes() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.makeFolder(QStringLiteral("Example/Nature"));
    lib.write(QStringLiteral("Example/Nature/a.pdf"), "x");
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 64.8\"\r\n");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.Text1->setText(QStringLiteral("zzz"));
    window.List1->setListIndex(1);
    const QString impactFactor = window.Text3->text();
    const QString homepage = window.Text2->text();
    const QString notes = window.Text4->text();
    QCOMPARE(impactFactor, QStringLiteral("\"IF: 64.8\"\r\n"));

    // Changes made outside the program show after the click.
    QVERIFY(QFile::remove(lib.path(QStringLiteral("Journal/Cell.txt"))));
    lib.write(QStringLiteral("Example/Nature/b.pdf"), "x");
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 1\"\r\n");
    QTest::mouseClick(window.Command10, Qt::LeftButton);

    QCOMPARE(window.List1->items(), QStringList{QStringLiteral("Nature")});
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List2->listCount(), 2);
    QCOMPARE(window.List3->items(), QStringList{});
    QCOMPARE(window.surfaceLines(),
             (QStringList{QStringLiteral(" 总计收录 1个期刊, 2篇期刊例文。"),
                          QStringLiteral(" There are 1 journals and  2 example articles.")}));
    QCOMPARE(window.Text3->text(), impactFactor);
    QCOMPARE(window.Text2->text(), homepage);
    QCOMPARE(window.Text4->text(), notes);
    QCOMPARE(window.Text1->text(), QStringLiteral("zzz"));
    QCOMPARE(seams.errors.messages, QStringList{});
}

void RefreshTest::purgesOneBlankNameFilePerClick() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    for (const char *file : {"Journal/.txt", "IF/.txt", "Notes/.txt"})
        lib.write(QLatin1String(file), "\"\"\r\n");

    // The blank entry is listed and counted by the click that deletes its file.
    QTest::mouseClick(window.Command10, Qt::LeftButton);
    QCOMPARE(window.List1->items(), (QStringList{QString(), QStringLiteral("Nature")}));
    QVERIFY(window.surfaceLines().first().contains(QStringLiteral(" 2个期刊")));
    const QList<QStringList> left{{"IF/.txt", "Notes/.txt"}, {"Notes/.txt"}, {}, {}};
    for (qsizetype click = 0; click < left.size(); ++click) {
        if (click > 0) {
            QTest::mouseClick(window.Command10, Qt::LeftButton);
            QCOMPARE(window.List1->items(), QStringList{QStringLiteral("Nature")});
        }
        for (const char *file : {"Journal/.txt", "IF/.txt", "Notes/.txt"})
            QCOMPARE(lib.exists(QLatin1String(file)), left.at(click).contains(QLatin1String(file)));
    }
    QVERIFY(lib.exists(QStringLiteral("IF/Nature.txt")));
    QCOMPARE(seams.errors.messages, QStringList{});
}

QTEST_MAIN(RefreshTest)
#include "tst_refresh.moc"
