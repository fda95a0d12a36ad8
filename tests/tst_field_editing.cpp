#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

QPushButton *fieldButton(const Form1 &window, const QString &folder) {
    if (folder == QLatin1String("IF"))
        return window.Command5;
    return folder == QLatin1String("Homepage") ? window.Command6 : window.Command1;
}

QString openRequest(const QString &path) {
    return QStringLiteral("rundll32 url.dll,FileProtocolHandler \"") + path + QLatin1Char('"');
}

} // namespace

class FieldEditingTest : public QObject {
    Q_OBJECT
private slots:
    void opensTheFieldFileMadeWhenMissing_data();
    void opensTheFieldFileMadeWhenMissing();
    void refusesWhatCannotBeOpened_data();
    void refusesWhatCannotBeOpened();
    void blankEntryGetsNoNewFile();
};

void FieldEditingTest::opensTheFieldFileMadeWhenMissing_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("created");
    QTest::newRow("Modify IF") << QStringLiteral("IF") << QByteArray("\"IF:\"\r\n");
    QTest::newRow("Modify homepage") << QStringLiteral("Homepage") << QByteArray("\"http:\"\r\n");
    QTest::newRow("Modify notes") << QStringLiteral("Notes") << QByteArray("\"Nature Reviews:\"\r\n");
}

void FieldEditingTest::opensTheFieldFileMadeWhenMissing() {
    QFETCH(QString, folder);
    QFETCH(QByteArray, created);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature Reviews"));
    const QString file = folder + QStringLiteral("/Nature Reviews.txt");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    QVERIFY(QFile::remove(lib.path(file)));
    const QString boxes = window.Text3->text() + window.Text2->text() + window.Text4->text();

    QTest::mouseClick(fieldButton(window, folder), Qt::LeftButton);
    QCOMPARE(lib.read(file), created);
    lib.write(file, "edited"); // never rewritten once it is there
    QTest::mouseClick(fieldButton(window, folder), Qt::LeftButton);
    QCOMPARE(lib.read(file), QByteArray("edited"));

    const QPair<QString, WindowStyle> request{openRequest(lib.path(file)), WindowStyle::NormalFocus};
    QCOMPARE(seams.starter.requests, (QList<QPair<QString, WindowStyle>>{request, request}));
    QCOMPARE(window.Text3->text() + window.Text2->text() + window.Text4->text(), boxes);
    QCOMPARE(seams.errors.messages, QStringList{});
}

void FieldEditingTest::refusesWhatCannotBeOpened_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("situation");
    for (const char *folder : {"IF", "Homepage", "Notes"}) {
        for (const char *situation : {"no selection", "missing folder", "dangling link"})
            QTest::addRow("%s, %s", folder, situation)
                << QString::fromLatin1(folder) << QString::fromLatin1(situation);
    }
}

void FieldEditingTest::refusesWhatCannotBeOpened() {
    QFETCH(QString, folder);
    QFETCH(QString, situation);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    const QString file = folder + QStringLiteral("/Nature.txt");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    const QString outside = lib.path(QStringLiteral("outside.txt"));
    if (situation != QLatin1String("no selection")) {
        window.List1->setListIndex(0);
        QVERIFY(QDir(lib.path(folder)).removeRecursively());
        if (situation == QLatin1String("dangling link")) {
            lib.makeFolder(folder);
            QVERIFY(QFile::link(outside, lib.path(file)));
        }
    }
    const QStringList before = lib.tree();
    QTest::mouseClick(fieldButton(window, folder), Qt::LeftButton);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(seams.starter.requests.size(), 0);
    QCOMPARE(seams.errors.messages.size(), 1);
    const QString expected = situation == QLatin1String("no selection")
                                 ? QStringLiteral("Please select a journal in the journal list first.")
                                 : lib.path(file);
    QVERIFY2(seams.errors.messages.first().contains(expected), qPrintable(seams.errors.messages.first()));
}

void FieldEditingTest::blankEntryGetsNoNewFile() {
    TempLibrary lib;
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    window.RecountLibrary();
    window.List1->setListIndex(0);
    QVERIFY(QFile::remove(lib.path(QStringLiteral("IF/.txt"))));
    QTest::mouseClick(window.Command5, Qt::LeftButton);
    QVERIFY(!lib.exists(QStringLiteral("IF/.txt")));
    QCOMPARE(seams.starter.requests.size(), 1);
    QCOMPARE(seams.starter.requests.first().first, openRequest(lib.path(QStringLiteral("IF/.txt"))));
}

QTEST_MAIN(FieldEditingTest)
#include "tst_field_editing.moc"
