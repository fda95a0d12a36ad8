#include "mainwindow/widgets/Form1.h"

#include "library/JournalPresence.h"
#include "library/Messages.h"
#include "library/ShowJournal.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "platform/FileNames.h"

namespace varnotel {

std::optional<QString> Form1::currentJournal() const {
    if (List1->listIndex() < 0)
        return std::nullopt;
    return List1->text();
}

bool Form1::journalVanished(const QString &name) {
    if (journalStillListed(m_platform.fs, m_appDir, name))
        return false;
    report(
        failureNaming(FailureKind::JournalGone,
                      QStringLiteral("这个期刊已经不在期刊库中(可能已在别处被改名或删除),列表已重新建立:"),
                      QStringLiteral("This journal is no longer in the library (it may have been renamed or "
                                     "deleted elsewhere); the lists were rebuilt:"),
                      name));
    RecountLibrary();
    return true;
}

// Showing a journal: IF, homepage, notes and example folder, each completed
// with its default when missing. A box whose step failed is emptied rather
// than left with another journal's text, and the failures are told together.
void Form1::List1_Click() {
    const std::optional<QString> journal = currentJournal();
    if (!journal || journalVanished(*journal))
        return;
    const QString &name = *journal;
    List1->setToolTip(displayName(name));
    const ShownJournal details = showJournal(m_platform.fs, m_appDir, name);
    Text3->setText(details.impactFactor.text);
    Text2->setText(details.homepage.text);
    Text4->setText(details.notes.text);
    showArticles(details.examples.articles);
    Failures failures = details.failures();
    if (!failures.isEmpty())
        failures.first().message.prepend(
            bilingual(QStringLiteral("该期刊未能完整显示。"),
                      QStringLiteral("The journal could not be shown in full.")) +
            QStringLiteral("\n\n"));
    report(failures);
}

// Refresh: rebuild from disk, then purge one blank-name file.
void Form1::Command10_Click() {
    RecountLibrary();
    reportUnreadableFolders();
    PurgeBlankJournal();
}

} // namespace varnotel
