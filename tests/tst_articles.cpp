// Opening and deleting example articles from the example list: the mouse,
// the delete button and the list's keys.
#include "mainwindow/ListBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QPushButton>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

using Step = std::function<void(Form1 &, TestPlatform &, const TempLibrary &)>;

Step clickArticle(qsizetype row) {
    return [row](Form1 &w, TestPlatform &, const TempLibrary &) { clickRow(w.List3, row); };
}
Step doubleClickArticle(qsizetype row) {
    return [row](Form1 &w, TestPlatform &, const TempLibrary &) { doubleClickRow(w.List3, row); };
}
Step type(QChar key) {
    return [key](Form1 &w, TestPlatform &, const TempLibrary &) {
        w.List3->setFocus();
        QTest::keyClick(w.List3, key.toLatin1());
    };
}
Step removeBehind(QStringView relative) {
    return
        [path = relative.toString()](Form1 &, TestPlatform &, const TempLibrary &lib) { lib.remove(path); };
}
const Step pressDown = [](Form1 &w, TestPlatform &, const TempLibrary &) {
    QTest::keyClick(w.List3, Qt::Key_Down);
};
const Step pressDelete = [](Form1 &w, TestPlatform &, const TempLibrary &) { click(w.Command9); };
const Step refresh = [](Form1 &w, TestPlatform &, const TempLibrary &) { click(w.Command10); };
const Step bPdfInUse = [](Form1 &, TestPlatform &seams, const TempLibrary &lib) {
    seams.fs.resist(lib.path(u"Example/Acta/b.pdf"));
};

// What is done after the journal Acta was clicked, whose list then reads
// b.pdf, paper1.pdf, x.pdf (in a linked folder outside the library),
// paper1.pdf (in the subfolder sub).
struct Act {
    QList<Step> steps;
    QStringList list3;   // the example list afterwards
    QStringList gone;    // files below Example no longer there
    QStringList trashed; // the names in the trash
    QStringList opened;  // files below Example handed to the opener, one start each
    QString tooltip;
    int counted;  // articles the statistics lines count
    int messages; // reports, each bilingual
};

const QString kB = u"b.pdf"_s, kPaper = u"paper1.pdf"_s, kX = u"x.pdf"_s;
const QStringList kActa{kB, kPaper, kX, kPaper};
const QStringList kAll{u"Acta/b.pdf"_s, u"Acta/paper1.pdf"_s, u"Acta/sub/paper1.pdf"_s, u"Cell/c.pdf"_s};

void row(const char *name, const Act &act) { QTest::newRow(name) << act; }

QStringList without(QStringList list, qsizetype index) {
    list.removeAt(index);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(Act)

class ArticlesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void theListActsOnTheFileItShows_data();
    void theListActsOnTheFileItShows();

private:
    std::optional<QTemporaryDir> m_dataHome; // a fresh trash
    std::optional<QTemporaryDir> m_outside;  // files the library links to
};

void ArticlesTest::init() {
    m_dataHome.emplace();
    m_outside.emplace();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome->path()));
}

void ArticlesTest::theListActsOnTheFileItShows_data() {
    QTest::addColumn<Act>("act");
    const QString sub = u"Acta/sub/paper1.pdf"_s, top = u"Acta/paper1.pdf"_s, b = u"Acta/b.pdf"_s;
    row("double-click opens the subfolder's file",
        {{doubleClickArticle(3)}, kActa, {}, {}, {sub}, kPaper, 5, 0});
    row("two double-clicks, two starts",
        {{doubleClickArticle(1), doubleClickArticle(1)}, kActa, {}, {}, {top, top}, kPaper, 5, 0});
    row("an arrow key sets the tooltip", {{clickArticle(1), pressDown}, kActa, {}, {}, {}, kX, 5, 0});
    row("the button deletes the subfolder's file",
        {{clickArticle(3), pressDelete}, without(kActa, 3), {sub}, {kPaper}, {}, kPaper, 4, 0});
    row("D deletes the top level's file",
        {{clickArticle(1), type(u'D')}, without(kActa, 1), {top}, {kPaper}, {}, kPaper, 4, 0});
    row("d deletes", {{clickArticle(0), type(u'd')}, without(kActa, 0), {b}, {kB}, {}, kB, 4, 0});
    // Rebuilt before the list's type-ahead sees the key, which then picks x.pdf.
    row("another key rebuilds", {{clickArticle(1), removeBehind(u"Example/Acta/b.pdf"), type(u'x')},
                                 without(kActa, 0),
                                 {b},
                                 {},
                                 {},
                                 kX,
                                 4,
                                 0});
    row("the button without a selection", {{pressDelete}, kActa, {}, {}, {}, {}, 5, 1});
    row("D without a selection", {{type(u'D')}, kActa, {}, {}, {}, {}, 5, 0});
    row("a file already removed", {{clickArticle(0), removeBehind(u"Example/Acta/b.pdf"), pressDelete},
                                   without(kActa, 0),
                                   {b},
                                   {},
                                   {},
                                   kB,
                                   4,
                                   0});
    row("a file in use", {{bPdfInUse, clickArticle(0), pressDelete}, kActa, {}, {}, {}, kB, 5, 1});
    row("a file reached through a link stays", {{clickArticle(2), pressDelete}, kActa, {}, {}, {}, kX, 5, 1});
    // Without a journal a key lists all of Example, and D deletes the very file picked.
    row("no journal selected", {{refresh, type(u'q'), clickArticle(4), type(u'D')},
                                kActa,
                                {u"Cell/c.pdf"_s},
                                {u"c.pdf"_s},
                                {},
                                u"c.pdf"_s,
                                4,
                                0});
}

// Opening and deleting reach the file the person picked, by its path, and
// only that file; the list and the statistics then show the folder as it is.
void ArticlesTest::theListActsOnTheFileItShows() {
    QFETCH(Act, act);
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.addJournal(u"Cell");
    for (const QString &file : kAll)
        lib.write(u"Example/"_s + file, file.toUtf8());
    QFile outside(m_outside->path() + u"/x.pdf"_s);
    QVERIFY(outside.open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(m_outside->path(), lib.path(u"Example/Acta/linked")));
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    clickRow(w.List1, 0);
    QCOMPARE(w.List3->items(), kActa);

    for (const Step &step : act.steps)
        step(w, shown.seams, lib);

    QCOMPARE(w.List3->items(), act.list3);
    QCOMPARE(w.List3->toolTip(), act.tooltip);
    QStringList left = kAll;
    for (const QString &file : act.gone)
        left.removeOne(file);
    QCOMPARE(lib.files(u"Example").keys(), left);
    QVERIFY(outside.exists());
    QCOMPARE(QDir(m_dataHome->path() + u"/Trash/files"_s).entryList(QDir::Files), act.trashed);
    QList<QStringList> starts;
    for (const QString &file : act.opened)
        starts << QStringList{u"xdg-open"_s, lib.path(u"Example/"_s + file)};
    QCOMPARE(shown.seams.starter.starts, starts);
    QCOMPARE(w.surfaceLines(), statistics(2, act.counted));
    QCOMPARE(shown.seams.errors.messages.size(), act.messages);
    for (const QString &message : shown.seams.errors.messages)
        QVERIFY2(isBilingual(message), qPrintable(message));
}

QTEST_MAIN(ArticlesTest)
#include "tst_articles.moc"
