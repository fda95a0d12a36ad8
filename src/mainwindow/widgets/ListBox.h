#pragma once

#include <QListView>
#include <QStringList>

class QStringListModel;

namespace varnotel {

// An ordered list of strings with one selected index, filled only by
// appending or clearing. A string-list model keeps huge lists fast.
class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    void addItem(const QString &item);
    void addItems(const QStringList &items);
    // Items that carry, beside each text, data of the program's own that the
    // person never sees (an article's path); one data text per item.
    void addItems(const QStringList &items, const QStringList &itemData);
    void clear();
    qsizetype listCount() const;
    QString list(qsizetype index) const;
    QStringList items() const;
    // The data added with the item; empty for an item added without.
    QString itemData(qsizetype index) const;

    // The selected row, -1 when nothing is selected. A current row that is not
    // selected (the list took the focus by Tab) is not a selection. Setting it
    // selects the row and runs the selection handler, as a click would.
    qsizetype listIndex() const;
    void setListIndex(qsizetype index);
    // Selects the row (none for -1) as the window restores it after the disk
    // changed: nothing was clicked, so no handler runs.
    void restoreSelection(qsizetype index);

    // The selected item's text, empty when none is selected.
    QString text() const;

    // Files dragged from a file manager may be dropped on the list; what they
    // are is announced, not added.
    void acceptFileDrops();

    // Called by a handler of characterKeyPressed that acted on the key (a D
    // that deleted something): the list's own type-ahead then does not see
    // it, so the same key cannot select, and a second one act on, the next row.
    void takeKey() { m_keyTaken = true; }

signals:
    // Raised once per selection, after the row is selected, whatever selected
    // it: a click (also on the row already selected), the keyboard, the
    // list's type-ahead, or setListIndex.
    void itemSelected();
    void itemDoubleClicked();
    // A key that produces a character, before the list itself acts on it;
    // unless a handler takes it, the list then searches for it as usual.
    void characterKeyPressed(int keyAscii);
    // Something was dropped on the list: the addresses it carries (a
    // text/uri-list, as file managers send it).
    void dropped(const QByteArray &uriList);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void announceClickOnSelectedRow(const QModelIndex &clicked);

    QStringListModel *m_model;
    // Only as long as the last item added with data: lists without data pay nothing.
    QStringList m_data;
    // Whether the current mouse press changed the selection; a click that did
    // not is a click on the selected row, which is a selection all the same.
    bool m_pressSelected = false;
    bool m_acceptsFiles = false;
    bool m_keyTaken = false;
};

} // namespace varnotel
