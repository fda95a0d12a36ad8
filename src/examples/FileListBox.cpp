#include "examples/FileListBox.h"

namespace varnotel {

FileListBox::FileListBox(const FileSystem &fs, QWidget *parent) : QListWidget(parent), m_fs(fs) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        m_pressSelected = true;
        if (!fileName().isEmpty())
            emit click();
    });
    // A click on the file already selected imports it again.
    connect(this, &QListWidget::itemClicked, this, [this](const QListWidgetItem *item) {
        if (!m_pressSelected && item && item->isSelected())
            emit click();
    });
}

void FileListBox::setPath(const QString &path) {
    m_path = path;
    clear();
    for (const DirEntry &entry : m_fs.entries(path)) {
        // Hidden files stay out of sight, as in a file manager.
        if (entry.kind == DirEntry::Kind::File && !entry.name.startsWith(QLatin1Char('.')))
            addItem(entry.name);
    }
}

QString FileListBox::fileName() const {
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileListBox::mousePressEvent(QMouseEvent *event) {
    m_pressSelected = false;
    QListWidget::mousePressEvent(event);
}

} // namespace varnotel
