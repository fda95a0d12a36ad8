#include "mainwindow/widgets/Form1.h"

#include "editing/AddJournal.h"
#include "editing/DeleteJournal.h"
#include "editing/RenameJournal.h"
#include "library/Messages.h"
#include "mainwindow/widgets/ListBox.h"
#include "platform/FileNames.h"
#include "platform/InputPrompt.h"

namespace varnotel {

// Add journal: the lists are rebuilt after every answer, a cancel included.
void Form1::Command7_Click() {
    const QString name = m_platform.prompt.ask(this, QStringLiteral("输入期刊名称 Input journal name:"),
                                               QStringLiteral("添加期刊 Add journal"), QString());
    report(addJournal(m_platform.fs, m_appDir, name).failures);
    RecountLibrary();
}

// Rename: without a journal of its own there is nothing to ask a name for. A
// journal that went away behind the program's back, also while the prompt
// was open, gets no files under the new name.
void Form1::Command4_Click() {
    const std::optional<QString> journal = currentJournal();
    const QString oldName = journal.value_or(QString());
    if (const std::optional<Failure> problem = renameSourceProblem(journal.has_value(), oldName)) {
        report(*problem);
    } else if (journalVanished(oldName)) {
        return;
    } else {
        // The prompt shows the name as it reads; confirming it unchanged keeps
        // the name on disk as it is, also when its bytes are not UTF-8.
        const QString shown = displayName(oldName);
        QString newName = m_platform.prompt.ask(this, QStringLiteral("输入新名称 Input a new name:"),
                                                QStringLiteral("重命名 Rename"), shown);
        if (newName == shown)
            newName = oldName;
        if (!newName.isEmpty() && journalVanished(oldName))
            return;
        report(renameJournal(m_platform.fs, m_appDir, oldName, newName).failures);
    }
    RecountLibrary();
}

// A journal renamed or deleted elsewhere is said to be gone, not deleted in
// silence (another window may have done it).
void Form1::Command11_Click() {
    if (const std::optional<QString> journal = currentJournal()) {
        if (journalVanished(*journal))
            return;
        report(deleteJournal(m_platform.fs, m_appDir, *journal).failures);
    } else
        report(Failure{FailureKind::NothingSelected,
                       bilingual(QStringLiteral("请先在期刊列表中选择要删除的期刊。"),
                                 QStringLiteral("Select the journal to delete in the journal list first."))});
    RecountLibrary();
}

// Runs before the list sees the key, so its type-ahead then searches the
// rebuilt list. Without a selection a D is only type-ahead; a D that deleted
// something is used up, so that it cannot select the next journal for a
// second D to delete.
void Form1::List1_KeyPress(int keyAscii) {
    const std::optional<QString> journal = currentJournal();
    if ((keyAscii == 'D' || keyAscii == 'd') && journal) {
        if (journalVanished(*journal))
            return;
        const EditOutcome deleted = deleteJournalByKey(m_platform.fs, m_appDir, *journal);
        report(deleted.failures);
        if (!deleted.deleted.isEmpty())
            List1->takeKey();
    }
    RecountLibrary();
}

} // namespace varnotel
