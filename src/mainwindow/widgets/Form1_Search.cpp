#include "mainwindow/widgets/Form1.h"

#include "mainwindow/SkipTo.h"
#include "mainwindow/widgets/ListBox.h"

#include <QLineEdit>

namespace varnotel {

namespace {

// Selects the row as the program sets a list's index (its selection handler
// runs to its end first), and brings it into view.
void selectAndShow(ListBox *list, qsizetype row) {
    list->setListIndex(row);
    list->scrollTo(list->model()->index(static_cast<int>(row), 0));
}

} // namespace

// Skip-to: the first journal that begins with the typed text, then, among the
// articles that selecting it listed, the first article that does. The article
// search runs also when no journal matched, over List3 as it stands.
void Form1::Text1_Change() {
    const QString typed = Text1->text();
    if (typed.isEmpty())
        return;
    const qsizetype journal = firstMatch(List1->items(), typed);
    if (journal >= 0)
        selectAndShow(List1, journal);
    const qsizetype article = firstMatch(List3->items(), typed);
    if (article >= 0)
        selectAndShow(List3, article);
}

} // namespace varnotel
