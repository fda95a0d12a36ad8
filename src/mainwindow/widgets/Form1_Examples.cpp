#include "mainwindow/widgets/Form1.h"

#include "examples/DeleteArticle.h"
#include "examples/DroppedUris.h"
#include "examples/ImportArticle.h"
#include "examples/widgets/CopyProgressDialog.h"
#include "examples/widgets/Form3.h"
#include "library/Messages.h"
#include "library/ShowJournal.h"
#include "mainwindow/widgets/ListBox.h"
#include "platform/Bilingual.h"
#include "platform/FileNames.h"

#include <QCloseEvent>
#include <QScopeGuard>

#include <utility>

namespace varnotel {

std::optional<Article> Form1::currentArticle() const {
    const qsizetype index = List3->listIndex();
    if (index < 0)
        return std::nullopt;
    return Article{List3->text(), List3->itemData(index)};
}

// Add example article: the journal's folder is made when missing, otherwise
// its articles are listed afresh; then the import dialog opens, or comes
// forward when it is open already.
void Form1::Command8_Click() {
    const std::optional<QString> journal = currentJournal();
    if (const std::optional<Failure> problem = importProblem(journal)) {
        report(*problem);
        return;
    }
    if (journalVanished(*journal))
        return;
    const ExampleListing listing = listExampleFolder(m_platform.fs, m_appDir, *journal);
    if (listing.failure) {
        report(*listing.failure);
        return;
    }
    if (!listing.created)
        showArticles(listing.articles);
    showImportDialog();
}

// Modeless and without owner, so the main window stays usable meanwhile.
void Form1::showImportDialog() {
    if (!m_form3) {
        m_form3 = new Form3(m_appDir, m_platform.fs, m_platform.errors, [this] { return currentJournal(); });
        m_form3->setAttribute(Qt::WA_DeleteOnClose);
        m_form3->setWindowIcon(windowIcon());
        connect(m_form3, &Form3::closing, this, &Form1::RecountExamples);
    }
    if (m_form3->isVisible()) {
        m_form3->raise();
        m_form3->activateWindow();
    } else {
        m_form3->show();
    }
}

void Form1::closeEvent(QCloseEvent *event) {
    if (m_form3)
        m_form3->close();
    QWidget::closeEvent(event);
}

// Files dropped from a file manager are imported as a click in the dialog
// imports them; what is no file of this machine (a web address, a file on
// another host) is named in the same message. The message is modal, and the
// window system may deliver the same drop again meanwhile: a drop still being
// imported takes none, so one drop is one import and one message.
void Form1::List3_OLEDragDrop(const QByteArray &uriList) {
    if (std::exchange(m_importing, true))
        return;
    const auto done = qScopeGuard([this] { m_importing = false; });
    const DroppedUris dropped = parseUriList(uriList);
    CopyProgressDialog progress(this);
    Failures failures =
        importArticles(m_platform.fs, m_appDir, currentJournal(), dropped.files, progress.progress())
            .failures;
    for (const QString &other : dropped.others)
        failures << failureNaming(FailureKind::NotAFile, QStringLiteral("这不是本机上的文件,没有导入:"),
                                  QStringLiteral("This is no file on this computer and was not imported:"),
                                  other);
    report(failures);
    RecountExamples();
}

void Form1::List3_Click() {
    if (const std::optional<Article> article = currentArticle())
        List3->setToolTip(displayName(article->name));
}

// The item knows its file's path, also for an article in a subfolder.
void Form1::List3_DblClick() {
    if (const std::optional<Article> article = currentArticle())
        ShellOpen(article->path);
}

bool Form1::deleteSelectedArticle() {
    const std::optional<Article> article = currentArticle();
    if (!article)
        return false;
    const ArticleDeletion deletion = deleteArticle(m_platform.fs, m_appDir, article->path);
    report(deletion.failures);
    return !deletion.deleted.isEmpty();
}

// Delete this file: with nothing selected the person is told; the list is
// rebuilt either way.
void Form1::Command9_Click() {
    if (!currentArticle())
        report(Failure{FailureKind::NothingSelected,
                       bilingual(QStringLiteral("请先在例文列表中选择要删除的文件。"),
                                 QStringLiteral("Select the file to delete in the example list first."))});
    deleteSelectedArticle();
    RecountExamples();
}

// Runs before the list sees the key, so its type-ahead then searches the
// rebuilt list. Without a selection a D is only type-ahead; a D that deleted
// the article is used up, as in the journal list.
void Form1::List3_KeyPress(int keyAscii) {
    if ((keyAscii == 'D' || keyAscii == 'd') && deleteSelectedArticle())
        List3->takeKey();
    RecountExamples();
}

} // namespace varnotel
