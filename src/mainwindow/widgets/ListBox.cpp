#include "mainwindow/widgets/ListBox.h"

#include "mainwindow/StringListModel.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <utility>

namespace varnotel {

namespace {

// The addresses a drag carries, as a file manager writes them: their bytes
// are kept, so that a name that is not UTF-8 is not lost on the way.
QByteArray uriList(const QMimeData *data) {
    static const QString kUriList = QStringLiteral("text/uri-list");
    return data && data->hasFormat(kUriList) ? data->data(kUriList).trimmed() : QByteArray();
}

} // namespace

ListBox::ListBox(QWidget *parent) : QListView(parent), m_model(new StringListModel(this)) {
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A mouse press makes the row current before it selects it, so "current
    // changed" would run the handler with nothing selected yet: only a change
    // of the selection itself counts.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_pressSelected = true;
        if (listIndex() >= 0)
            emit itemSelected();
    });
    connect(this, &QListView::clicked, this, &ListBox::announceClickOnSelectedRow);
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
    m_model->setStringList(m_model->stringList() + items);
}

void ListBox::addItems(const QStringList &items, const QStringList &itemData) {
    Q_ASSERT(items.size() == itemData.size());
    m_data.resize(listCount()); // the items before these carry none
    m_data += itemData;
    addItems(items);
}

void ListBox::clear() {
    m_model->setStringList({});
    m_data.clear();
}

qsizetype ListBox::listCount() const { return m_model->rowCount(); }

QString ListBox::list(qsizetype index) const {
    const QStringList &items = m_model->stringList();
    return index >= 0 && index < items.size() ? items.at(index) : QString();
}

QStringList ListBox::items() const { return m_model->stringList(); }

QString ListBox::itemData(qsizetype index) const { return m_data.value(index); }

qsizetype ListBox::listIndex() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setListIndex(qsizetype index) {
    if (index < 0 || index >= listCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex target = m_model->index(static_cast<int>(index));
    if (index == listIndex()) {
        emit itemSelected(); // the same item again still runs the handler
        return;
    }
    setCurrentIndex(target);
}

void ListBox::restoreSelection(qsizetype index) {
    const bool pressSelected = m_pressSelected;
    const QSignalBlocker quiet(this);
    if (index < 0 || index >= listCount())
        selectionModel()->clearSelection();
    else
        setCurrentIndex(m_model->index(static_cast<int>(index)));
    m_pressSelected = pressSelected;
}

QString ListBox::text() const {
    const qsizetype index = listIndex();
    return index < 0 ? QString() : list(index);
}

void ListBox::keyPressEvent(QKeyEvent *event) {
    const QString typed = event->text();
    m_keyTaken = false;
    if (!typed.isEmpty())
        emit characterKeyPressed(typed.at(0).unicode());
    if (std::exchange(m_keyTaken, false))
        event->accept();
    else
        QListView::keyPressEvent(event);
}

void ListBox::mousePressEvent(QMouseEvent *event) {
    m_pressSelected = false;
    QListView::mousePressEvent(event);
}

void ListBox::announceClickOnSelectedRow(const QModelIndex &clicked) {
    if (!m_pressSelected && clicked.isValid() && clicked.row() == listIndex())
        emit itemSelected();
}

void ListBox::acceptFileDrops() {
    m_acceptsFiles = true;
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

// Entering and moving over the list answer alike: files are welcome, anything else is not.
void ListBox::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void ListBox::dragMoveEvent(QDragMoveEvent *event) {
    if (m_acceptsFiles && !uriList(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListBox::dropEvent(QDropEvent *event) {
    const QByteArray uris = m_acceptsFiles ? uriList(event->mimeData()) : QByteArray();
    if (uris.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit dropped(uris);
}

} // namespace varnotel
