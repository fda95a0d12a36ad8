#include "mainwindow/Form1.h"

#include "library/FieldFiles.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/RecordFile.h"
#include "media/CommandLines.h"
#include "media/DesktopCommand.h"
#include "media/HomepageAddress.h"
#include "platform/ErrorReport.h"
#include "platform/ProgramStarter.h"

namespace varnotel {

namespace {

QString selectJournalFirst() {
    return bilingual(QStringLiteral("请先在期刊列表中选择一个期刊。"),
                     QStringLiteral("Please select a journal in the journal list first."));
}

QString howToSetHomepage() {
    return bilingual(QStringLiteral("请选择期刊，点击“修改期刊链接”，在打开的文件中填写期刊网址并保存。"),
                     QStringLiteral("Select the journal, click \"Modify journal homepage\", write the "
                                    "journal's address into the file that opens and save it."));
}

} // namespace

// The window style is the desktop's affair on Linux: the request is kept in
// its Windows form up to here, and only its argv reaches the starter. The
// user is told about the file or address, never about the command line.
void Form1::startProgram(const QString &commandLine, WindowStyle style) {
    Q_UNUSED(style);
    const DesktopCommand command = desktopCommandFor(commandLine);
    if (!command.refusal.isEmpty()) {
        report(command.refusal);
        return;
    }
    const Result started = m_platform.starter.start(command.program, command.arguments);
    if (!started)
        report(bilingual(QStringLiteral("无法打开:"), QStringLiteral("Cannot open:")) + QLatin1Char('\n') +
               command.target + QLatin1Char('\n') + started.error);
}

void Form1::ShellOpen(const QString &path) {
    startProgram(shellOpenCommandLine(path), WindowStyle::NormalFocus);
}

// The author's blog.
void Form1::Command2_Click() { startProgram(blogCommandLine(), WindowStyle::MinimizedFocus); }

// The current journal's homepage, as its homepage file holds it.
void Form1::Command3_Click() {
    const std::optional<QString> journal = currentJournal();
    if (!journal) {
        report(bilingual(QStringLiteral("没有选择期刊。"), QStringLiteral("No journal is selected.")) +
               QStringLiteral("\n") + howToSetHomepage());
        return;
    }
    if (journalVanished(*journal))
        return;
    const QString path = paths::recordFile(m_appDir, Record::Homepage, *journal);
    DisplayText homepage;
    const Result read = readForDisplay(m_platform.fs, path, homepage);
    if (!read) {
        report(failureMessage(QStringLiteral("无法读取期刊链接文件"),
                              QStringLiteral("Cannot read the homepage file:"), path, read) +
               QStringLiteral("\n") + howToSetHomepage());
        return;
    }
    if (!holdsHomepageAddress(homepage.text)) {
        report(bilingual(QStringLiteral("该期刊还没有链接。"),
                         QStringLiteral("This journal has no homepage yet.")) +
               QStringLiteral("\n") + howToSetHomepage());
        return;
    }
    const QString commandLine = browserCommandLine(homepage.text);
    if (const QString refusal = desktopCommandFor(commandLine).refusal; !refusal.isEmpty()) {
        report(refusal + QStringLiteral("\n") + howToSetHomepage());
        return;
    }
    startProgram(commandLine, WindowStyle::MinimizedFocus);
}

// The user's manual, a video beside the music.
void Form1::Command12_Click() { ShellOpen(paths::manualFile(m_appDir)); }

// The three field buttons hand the field's file to the desktop's editor; the
// boxes show the edit the next time the journal is selected.
void Form1::editField(Record field) {
    const std::optional<QString> journal = currentJournal();
    if (!journal) {
        report(selectJournalFirst());
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
