#include "examples/widgets/Form3.h"

#include "desktop/ControlStyle.h"
#include "examples/ImportArticle.h"
#include "examples/widgets/CopyProgressDialog.h"
#include "examples/widgets/DirListBox.h"
#include "examples/widgets/DriveListBox.h"
#include "examples/widgets/FileListBox.h"
#include "library/Messages.h"
#include "platform/ErrorReport.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>

#include <utility>

namespace varnotel {

namespace {

using style::placed;

// Labels wrap at their width and start at their top.
QLabel *label(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h) {
    auto *result = placed(new QLabel(caption, parent), name, l, t, w, h);
    result->setWordWrap(true);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    style::setColours(result, Qt::white, Qt::black);
    return result;
}

template <typename W> W *whiteBox(W *widget) {
    style::setColours(widget, Qt::white, Qt::black);
    return widget;
}

QString joined(const QString &folder, const QString &name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

Form3::Form3(const QString &appDir, FileSystem &fs, ErrorReport &errors, JournalQuery currentJournal)
    : m_appDir(appDir), m_fs(fs), m_errors(errors), m_currentJournal(std::move(currentJournal)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("导入文件 Import Files"));
    setFixedSize(style::fromTwips(0, 0, 15000, 10620).size());
    setFont(style::defaultControlFont());
    style::setColours(this, Qt::white, Qt::black);
    createControls();
    setTabOrder();
    connectHandlers();
    const QString current = QDir::currentPath();
    Drive1->setDrives(drivesToPick(m_fs, QDir::homePath(), mountedVolumes()));
    Drive1->showDriveOf(current);
    Dir1->setPath(current);
}

// Each step's labels are made before its list, so that the list is drawn over
// them and shows its whole frame. Each list is named after its step.
void Form3::createControls() {
    Label4 =
        label(this, "Label4", QStringLiteral("第1步:请选择要导入的文件所在的磁盘:"), 120, 120, 3615, 255);
    Label1 =
        label(this, "Label1",
              QStringLiteral("Step One: Please select the disk containing the files you want to import:"),
              120, 360, 6975, 255);
    Drive1 = whiteBox(placed(new DriveListBox(this), "Drive1", 120, 720, 6975, 300));
    Drive1->setAccessibleName(QStringLiteral("第1步:磁盘 Step One: Disk"));
    Drive1->setAccessibleDescription(Label4->text() + u' ' + Label1->text());
    Label2 = label(this, "Label2", QStringLiteral("第2步:请双击选择要导入的文件所在的文件夹:"), 120, 1200,
                   4095, 255);
    Label5 =
        label(this, "Label5",
              QStringLiteral("Step Two: Please double click to select the folder containing the files you "
                             "want to import:"),
              120, 1440, 7095, 375);
    Dir1 = whiteBox(placed(new DirListBox(m_fs, this), "Dir1", 120, 1800, 7095, 8700));
    Dir1->setAccessibleName(QStringLiteral("第2步:文件夹 Step Two: Folder"));
    Dir1->setAccessibleDescription(Label2->text() + u' ' + Label5->text());
    Label6 = label(this, "Label6", QStringLiteral("第3步:请单击你要导入的文件(单击即完成导入)."), 7320, 600,
                   4455, 255);
    Label3 = label(this, "Label3",
                   QStringLiteral("Step Three: Please click on the files you want to import. It will be "
                                  "imported as soon as you click."),
                   7320, 840, 7575, 495);
    File1 = whiteBox(placed(new FileListBox(m_fs, this), "File1", 7320, 1320, 7455, 9090));
    File1->setAccessibleName(QStringLiteral("第3步:文件 Step Three: Files"));
    File1->setAccessibleDescription(Label6->text() + u' ' + Label3->text());
    Command1 = placed(new QPushButton(QStringLiteral("退出 Exit"), this), "Command1", 13320, 120, 1455, 375);
    style::setColours(Command1, style::kButtonFace, Qt::black);
}

void Form3::setTabOrder() {
    // The order Tab walks, first to last; labels take no focus.
    QWidget::setTabOrder(Drive1, File1);
    QWidget::setTabOrder(File1, Dir1);
    QWidget::setTabOrder(Dir1, Command1);
}

void Form3::connectHandlers() {
    connect(Drive1, &DriveListBox::change, this, &Form3::Drive1_Change);
    connect(Dir1, &DirListBox::change, this, &Form3::Dir1_Change);
    connect(File1, &FileListBox::click, this, &Form3::File1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

// A drive that went away meanwhile is told about, and the list goes back to
// the drive of the folder shown.
void Form3::Drive1_Change() {
    const QString drive = Drive1->drive();
    if (!m_fs.folderExists(drive)) {
        m_errors.report(this, {failureNaming(FailureKind::DriveUnavailable, QStringLiteral("该磁盘无法使用:"),
                                             QStringLiteral("This drive is not available:"), drive)});
        Drive1->showDriveOf(Dir1->path());
        return;
    }
    Dir1->setPath(drive);
}

void Form3::Dir1_Change() { File1->setPath(Dir1->path()); }

// An import tells its failures in a modal message, during which the window
// system may hand the same click over once more: an import that is still
// running takes none, so one click is one import and one message.
void Form3::File1_Click() {
    if (std::exchange(m_importing, true))
        return;
    const auto done = qScopeGuard([this] { m_importing = false; });
    const QString source = joined(File1->path(), File1->fileName());
    CopyProgressDialog progress(this);
    const ImportOutcome outcome =
        importArticles(m_fs, m_appDir, m_currentJournal(), {source}, progress.progress());
    if (!outcome.failures.isEmpty())
        m_errors.report(this, outcome.failures);
}

// Exit: the main window recounts as the dialog closes.
void Form3::Command1_Click() { close(); }

void Form3::closeEvent(QCloseEvent *event) {
    emit closing();
    QWidget::closeEvent(event);
}

} // namespace varnotel
