#include "mainwindow/widgets/Form1.h"

#include "launch/HomepageAddress.h"
#include "launch/StartRequest.h"
#include "library/FieldFiles.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/RecordFile.h"
#include "platform/ErrorReport.h"
#include "platform/ProgramStarter.h"

namespace varnotel {

namespace {

QString howToSetHomepage() {
    return bilingual(QStringLiteral("请选择期刊，点击“修改期刊链接”，在打开的文件中填写期刊网址并保存。"),
                     QStringLiteral("Select the journal, click \"Modify journal homepage\", write the "
                                    "journal's address into the file that opens and save it."));
}

// A failure with the way to set a homepage after it.
Failure withHowToSetHomepage(Failure failure) {
    failure.message += QLatin1Char('\n') + howToSetHomepage();
    return failure;
}

Failure nothingSelected() {
    return {FailureKind::NothingSelected, bilingual(QStringLiteral("请先在期刊列表中选择一个期刊。"),
                                                    QStringLiteral("Please select a journal in the journal "
                                                                   "list first."))};
}

} // namespace

// Only the argv reaches the starter; the person is told about the file or
// address, never about a command line.
void Form1::start(const DesktopCommand &command) {
    if (command.refusal) {
        report(*command.refusal);
        return;
    }
    const Result started = m_platform.starter.start(command.argv.first(), command.argv.mid(1));
    if (!started) {
        Failure failed = failureNaming(FailureKind::CannotStart, QStringLiteral("无法打开:"),
                                       QStringLiteral("Cannot open:"), command.target);
        failed.message += QLatin1Char('\n') + started.error;
        report(failed);
    }
}

void Form1::ShellOpen(const QString &path) { start(desktopCommandFor(fileRequest(path))); }

// The author's blog.
void Form1::Command2_Click() { start(desktopCommandFor(webPageRequest(kBlogAddress))); }

// The current journal's homepage, as its homepage file holds it.
void Form1::Command3_Click() {
    const std::optional<QString> journal = currentJournal();
    if (!journal) {
        report(withHowToSetHomepage(nothingSelected()));
        return;
    }
    if (journalVanished(*journal))
        return;
    const QString path = paths::recordFile(m_appDir, Record::Homepage, *journal);
    DisplayText homepage;
    if (const Result read = readForDisplay(m_platform.fs, path, homepage); !read) {
        report(
            withHowToSetHomepage(fileFailure(FailureKind::CannotRead, QStringLiteral("无法读取期刊链接文件"),
                                             QStringLiteral("Cannot read the homepage file:"), path, read)));
        return;
    }
    const QString address = homepageAddress(homepage.text);
    if (address.isEmpty()) {
        report(withHowToSetHomepage({FailureKind::NoHomepage, bilingual(QStringLiteral("该期刊还没有链接。"),
                                                                        QStringLiteral("This journal has no "
                                                                                       "homepage yet."))}));
        return;
    }
    const DesktopCommand browser = desktopCommandFor(webPageRequest(address));
    if (browser.refusal)
        report(withHowToSetHomepage(*browser.refusal));
    else
        start(browser);
}

// The user's manual, a video beside the music.
void Form1::Command12_Click() { ShellOpen(paths::manualFile(m_appDir)); }

// The three field buttons hand the field's file to the desktop's editor; the
// boxes show the edit the next time the journal is selected.
void Form1::editField(Record field) {
    const std::optional<QString> journal = currentJournal();
    if (!journal) {
        report(nothingSelected());
        return;
    }
    if (journalVanished(*journal))
        return;
    const QString &name = *journal;
    // The blank-name journal's files are purged at start-up; none is made for it.
    if (name.isEmpty()) {
        ShellOpen(paths::recordFile(m_appDir, field, name));
        return;
    }
    const FieldFileOutcome outcome = ensureFieldFile(m_platform.fs, m_appDir, field, name);
    if (!outcome.result) {
        report(fieldCreationFailure(outcome));
        return;
    }
    ShellOpen(outcome.path);
}

void Form1::Command1_Click() { editField(Record::Notes); }
void Form1::Command5_Click() { editField(Record::ImpactFactor); }
void Form1::Command6_Click() { editField(Record::Homepage); }

} // namespace varnotel
