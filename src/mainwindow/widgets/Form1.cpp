#include "mainwindow/widgets/Form1.h"

#include "desktop/AccessibleNames.h"
#include "desktop/ControlStyle.h"
#include "desktop/PlainToolTips.h"
#include "editing/RenameJournal.h"
#include "examples/widgets/Form3.h"
#include "library/BlankJournal.h"
#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"
#include "library/LibraryScanner.h"
#include "library/Messages.h"
#include "library/NewFile.h"
#include "library/ShowJournal.h"
#include "library/Statistics.h"
#include "mainwindow/widgets/CountingList.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/PictureBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "music/widgets/MediaPlayerBar.h"
#include "platform/ErrorReport.h"
#include "platform/FileNames.h"
#include "platform/FolderWatch.h"
#include "platform/MediaPlayer.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <utility>

// Resources of a static library are registered by hand.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace varnotel {

namespace {

using style::placed;

// Controls that store no font of their own use the default control font, not
// the window's Times New Roman.
template <typename W> W *defaultFont(W *widget) {
    widget->setFont(style::defaultControlFont());
    return widget;
}

// A label prints its caption from its top-left corner.
QLabel *label(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h) {
    auto *result = defaultFont(placed(new QLabel(caption, parent), name, l, t, w, h));
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    style::setColours(result, Qt::white, Qt::black);
    return result;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h) {
    auto *result = placed(new QPushButton(caption, parent), name, l, t, w, h);
    result->setFont(style::timesNewRoman(9));
    style::setColours(result, style::kButtonFace, Qt::black);
    return result;
}

template <typename W> W *whiteBox(W *widget) {
    style::setColours(widget, Qt::white, Qt::black);
    return defaultFont(widget);
}

} // namespace

Form1::Form1(const QString &appDir, Platform platform, QWidget *parent)
    : QWidget(parent), m_appDir(appDir), m_platform(platform),
      m_scanner(std::make_unique<LibraryScanner>(platform.fs)) {
    initResources();
    showToolTipsAsPlainText();
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(992, 678); // the controls keep their places: nothing is rearranged
    setFont(style::timesNewRoman(9.75));
    style::setColours(this, Qt::white, Qt::black);
    setWindowIcon(QIcon(QStringLiteral(":/varnotel/icon.png")));
    createControls();
    setTabOrder();
    connectHandlers();
}

// The dialog asks this window for the current journal: it must not outlive it.
Form1::~Form1() { delete m_form3; }

void Form1::createControls() {
    // The window's surface: the statistics lines are printed on the window
    // itself, under every control, which also leaves it nothing to click.
    m_surface = placed(new PictureBox(PictureBox::Changes::Announced, this), "Surface", 0, 0, 14880, 480);
    m_surface->setFocusPolicy(Qt::NoFocus);
    m_surface->setAutoFillBackground(false);
    m_surface->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_surface->setAccessibleDescription(QStringLiteral("统计 Statistics"));
    // The clock ticks every second: a screen reader reads it when asked, and
    // is not told of every tick.
    Picture1 =
        whiteBox(placed(new PictureBox(PictureBox::Changes::Quiet, this), "Picture1", 0, 480, 5055, 255));
    Picture1->setAccessibleDescription(QStringLiteral("日期和时间 Date and time"));
    Picture2 =
        whiteBox(placed(new PictureBox(PictureBox::Changes::Quiet, this), "Picture2", 0, 720, 5055, 255));
    Picture2->setAccessibleDescription(QStringLiteral("日期和时间 Date and time"));
    Label6 = label(this, "Label6", QStringLiteral("跳转 Skip to:"), 120, 1320, 1335, 255);
    Text1 = namedAfter(Label6, defaultFont(placed(new QLineEdit(this), "Text1", 1560, 1200, 5895, 495)));
    Command12 = button(this, "Command12", QStringLiteral("用户手册 User's Manual"), 4080, 1830, 2055, 345);
    Command10 = button(this, "Command10", QStringLiteral("刷新 Refresh"), 6240, 1800, 1215, 375);
    Label1 = label(this, "Label1", QStringLiteral("期刊列表 Journal List:"), 120, 2040, 2415, 255);
    List1 = namedAfter(Label1, whiteBox(placed(new ListBox(this), "List1", 120, 2280, 7335, 6585)));
    List2 = placed(new CountingList(this), "List2", 5520, 3000, 1695, 1410);
    List2->setVisible(false); // only counted, never shown
    Command7 = button(this, "Command7", QStringLiteral("添加期刊 Add journal"), 120, 8880, 1935, 375);
    Command4 =
        button(this, "Command4", QStringLiteral("修改期刊名称 Modify journal title"), 2160, 8880, 2775, 375);
    Command11 =
        button(this, "Command11", QStringLiteral("删除该期刊 Delete this journal"), 5040, 8880, 2415, 375);
    Label4 = label(this, "Label4", QStringLiteral("影响因子 Impact factor (IF):"), 7560, 0, 3015, 255);
    Text3 = namedAfter(Label4, whiteBox(placed(new TextBox(this), "Text3", 7560, 240, 7215, 735)));
    Text3->setFont(style::timesNewRoman(20.25, true));
    Command5 = button(this, "Command5", QStringLiteral("修改影响因子 Modify IF"), 12720, 1080, 2055, 375);
    Label5 = label(this, "Label5", QStringLiteral("期刊链接 Journal homepage:"), 7560, 1320, 2655, 255);
    Text2 = namedAfter(Label5, whiteBox(placed(new TextBox(this), "Text2", 7560, 1560, 7215, 735)));
    Command6 = button(this, "Command6", QStringLiteral("修改期刊链接 Modify journal homepage"), 8400, 2400,
                      3255, 375);
    Command3 = button(this, "Command3", QStringLiteral("打开期刊链接 Open journal homepage"), 11760, 2400,
                      3015, 375);
    Label2 =
        label(this, "Label2", QStringLiteral("期刊例文 Journal example articles:"), 7560, 3000, 3015, 255);
    List3 = namedAfter(Label2, whiteBox(placed(new ListBox(this), "List3", 7560, 3240, 7215, 2760)));
    Command8 =
        button(this, "Command8", QStringLiteral("添加期刊例文 Add example article"), 9720, 6120, 2775, 375);
    Command9 =
        button(this, "Command9", QStringLiteral("删除该文件 Delete this file"), 12600, 6120, 2175, 375);
    Label3 = label(this, "Label3", QStringLiteral("期刊备注 Notes:"), 7560, 6720, 3015, 255);
    Text4 = namedAfter(Label3, whiteBox(placed(new TextBox(this), "Text4", 7560, 6960, 7215, 1815)));
    Text4->setFont(style::songTi(9.75));
    Command1 = button(this, "Command1", QStringLiteral("修改备注 Modify notes"), 10800, 8880, 1935, 375);
    Command2 = button(this, "Command2", QStringLiteral("作者博客 Author's blog"), 12840, 8880, 1935, 375);
    WindowsMediaPlayer1 =
        placed(new MediaPlayerBar(m_platform.player, this), "WindowsMediaPlayer1", 120, 9360, 14655, 735);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    m_watchSetup = new QTimer(this);
    m_watchSetup->setInterval(0);
}

void Form1::setTabOrder() {
    // The order Tab walks, first to last; labels and the hidden List2 take no
    // focus. The window opens with the focus on the first.
    const QList<QWidget *> order{Command2, List1,    Picture1,  WindowsMediaPlayer1,
                                 Command4, Text3,    Command5,  Command6,
                                 Command8, Command9, Text2,     Picture2,
                                 Text4,    Command1, Command10, List3,
                                 Command7, Text1,    Command3,  Command11,
                                 Command12};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    order.first()->setFocus();
}

void Form1::connectHandlers() {
    connect(List1, &ListBox::itemSelected, this, &Form1::List1_Click);
    connect(List1, &ListBox::characterKeyPressed, this, &Form1::List1_KeyPress);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(&m_platform.player, &MediaPlayer::endOfMedia, this, &Form1::WindowsMediaPlayer1_EndOfMedia);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(List3, &ListBox::itemSelected, this, &Form1::List3_Click);
    connect(List3, &ListBox::itemDoubleClicked, this, &Form1::List3_DblClick);
    connect(List3, &ListBox::characterKeyPressed, this, &Form1::List3_KeyPress);
    List3->acceptFileDrops();
    connect(List3, &ListBox::dropped, this, &Form1::List3_OLEDragDrop);
    connect(m_watchSetup, &QTimer::timeout, this, &Form1::watchSomeFolders);
}

void Form1::Form_Load() {
    finishUnfinishedRename(m_platform.fs, m_appDir);
    PurgeBlankJournal();
    // The record folders are not scanned; they are cleaned once the window is up.
    QTimer::singleShot(0, this, [this] {
        for (const Record record : {Record::ImpactFactor, Record::Homepage, Record::Notes})
            removeLeftoversIn(m_platform.fs, paths::recordFolder(m_appDir, record));
    });
    setWindowTitle(QStringLiteral("Varnotel 1.0 - ") + m_appDir);
    scanLibraryAndPrintStatistics(); // the lists are empty and the surface is fresh
    reportUnreadableFolders();
    followTheDisk();
    Timer1->start();
    // Last: the player starts on its own once it has the file.
    m_platform.player.setUrl(paths::musicFile(m_appDir));
}

void Form1::RecountLibrary() {
    List1->clear();
    List2->clear();
    List3->clear();
    m_surface->clear();
    scanLibraryAndPrintStatistics();
}

void Form1::scanLibraryAndPrintStatistics() {
    List1->addItems(m_scanner->sosuofile1(paths::journalFolder(m_appDir)));
    scanAllArticles();
    PrintStatistics();
}

void Form1::scanAllArticles() {
    List2->addItems(m_scanner->sosuofile2(paths::exampleRoot(m_appDir)));
    removeLeftovers(m_platform.fs, m_scanner->takeScratchFiles());
    askWhereNoWatchTells();
}

// Without a journal selected the list shows what the blank entry shows.
void Form1::RecountExamples() {
    List2->clear();
    m_surface->clear();
    scanAllArticles();
    showArticles(listedArticles(m_platform.fs, m_appDir, currentJournal().value_or(QString())));
    PrintStatistics();
}

void Form1::showArticles(const ArticleList &articles) {
    List3->clear();
    List3->addItems(articles.names, articles.paths);
}

// Once per start-up or Refresh, not at every recount: a folder that stays
// unreadable would otherwise be told about at every key.
void Form1::reportUnreadableFolders() {
    constexpr qsizetype kShown = 20;
    const QStringList denied = m_scanner->unreadableFolders();
    if (denied.isEmpty())
        return;
    QStringList shown;
    for (const QString &folder : denied.first(std::min(denied.size(), kShown)))
        shown << displayName(folder);
    if (denied.size() > kShown)
        shown << bilingual(QStringLiteral("……还有 %1 个").arg(denied.size() - kShown),
                           QStringLiteral("... and %1 more").arg(denied.size() - kShown));
    report(
        Failure{FailureKind::UnreadableFolders,
                bilingual(QStringLiteral("这些文件夹无法读取,其中的文件没有列出:"),
                          QStringLiteral("These folders could not be read; what they hold is not listed:")) +
                    QStringLiteral("\n") + shown.join(QLatin1Char('\n'))});
}

void Form1::PrintStatistics() {
    m_surface->printLine(chineseStatisticsLine(List1->listCount(), List2->listCount()));
    m_surface->printLine(englishStatisticsLine(List1->listCount(), List2->listCount()));
}

void Form1::PurgeBlankJournal() {
    const PurgeOutcome outcome = purgeBlankJournal(m_platform.fs, m_appDir);
    if (!outcome.result)
        report(fileFailure(FailureKind::CannotDelete, QStringLiteral("无法删除空名期刊的文件"),
                           QStringLiteral("Cannot delete the file of the blank-name journal:"), outcome.path,
                           outcome.result));
}

// The first frame is on the screen: the watches may now be set up.
void Form1::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (!std::exchange(m_painted, true))
        m_watchSetup->start();
}

bool Form1::settingUpWatches() const { return m_watchSetup->isActive(); }

// A slice short enough that a key pressed meanwhile is answered within a frame.
void Form1::watchSomeFolders() {
    if (!m_scanner->watchMore(QDeadlineTimer(4))) {
        m_watchSetup->stop();
        // What changed before a folder's watch began shows now.
        if (m_follow)
            m_follow->start(0);
    }
}

void Form1::report(const Failures &failures) {
    if (!failures.isEmpty())
        m_platform.errors.report(this, failures);
}

} // namespace varnotel
