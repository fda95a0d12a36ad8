#include "mainwindow/ListBox.h"

#include <QKeyEvent>
#include <QStringListModel>

namespace varnotel {

ListBox::ListBox(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this)) {
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            emit itemSelected();
    });
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit itemDoubleClicked();
    });
}

void ListBox::addItem(const QString &item) { addItems(QStringList{item}); }

void ListBox::addItems(const QStringList &items) {
    if (items.isEmpty())
        return;
    if (m_model->rowCount() == 0) {
        m_model->setStringList(items);
        return;
    }
    const int first = m_model->rowCount();
    m_model->insertRows(first, static_cast<int>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        m_model->setData(m_model->index(first + static_cast<int>(i)), items.at(i));
}

void ListBox::clear() {
    m_model->setStringList({});
    setCurrentIndex(QModelIndex());
}

qsizetype ListBox::listCount() const { return m_model->rowCount(); }

QString ListBox::list(qsizetype index) const {
    return m_model->index(static_cast<int>(index)).data().toString();
}

QStringList ListBox::items() const { return m_model->stringList(); }

qsizetype ListBox::listIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void ListBox::setListIndex(qsizetype index) {
    if (index < 0 || index >= listCount()) {
        setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex target = m_model->index(static_cast<int>(index));
    if (target == currentIndex()) {
        selectionModel()->select(target, QItemSelectionModel::ClearAndSelect);
        emit itemSelected(); // the same item again still runs the handler
        return;
    }
    setCurrentIndex(target);
}

QString ListBox::text() const {
    const qsizetype index = listIndex();
    return index < 0 ? QString() : list(index);
}

void ListBox::keyPressEvent(QKeyEvent *event) {
    const QString typed = event->text();
    if (!typed.isEmpty())
        emit characterKeyPressed(typed.at(0).unicode());
    QListView::keyPressEvent(event);
}

} // namespace varnotel
