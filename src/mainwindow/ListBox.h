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
    void clear();
    qsizetype listCount() const;
    QString list(qsizetype index) const;
    QStringList items() const;

    // -1 when nothing is selected. Setting it selects the item and runs the
    // selection handler, as a click would.
    qsizetype listIndex() const;
    void setListIndex(qsizetype index);

    // The selected item's text, empty when none is selected.
    QString text() const;

signals:
    // The selection moved to an item: a click, the keyboard, or setListIndex.
    void itemSelected();
    void itemDoubleClicked();
    // A key that produces a character, before the list itself acts on it.
    void characterKeyPressed(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringListModel *m_model;
};

} // namespace varnotel
