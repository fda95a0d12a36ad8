#include "examples/widgets/FileListBox.h"

#include "platform/FileNames.h"

namespace varnotel {

FileListBox::FileListBox(const FileSystem &fs, QWidget *parent) : QListWidget(parent), m_fs(fs) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A key that selects another file is a click on it.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_mouseDown && !fileName().isEmpty())
            emit click();
    });
    // A mouse click is one, when it is done: also on the file already selected,
    // and only once, whatever happens while it is answered (a modal message).
    connect(this, &QListWidget::itemClicked, this, [this](const QListWidgetItem *item) {
        if (item && item->isSelected())
            emit click();
    });
}

void FileListBox::setPath(const QString &path) {
    m_path = path;
    clear();
    for (const DirEntry &entry : m_fs.entries(path)) {
        // Hidden files stay out of sight, as in a file manager.
        if (entry.kind == DirEntry::Kind::File && !entry.name.startsWith(QLatin1Char('.'))) {
            auto *item = new QListWidgetItem(displayName(entry.name), this);
            item->setData(Qt::UserRole, entry.name); // the name on disk, byte for byte
        }
    }
}

QString FileListBox::fileName() const {
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
}

void FileListBox::mousePressEvent(QMouseEvent *event) {
    m_mouseDown = true;
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent *event) {
    QListWidget::mouseReleaseEvent(event);
    m_mouseDown = false;
}

} // namespace varnotel
