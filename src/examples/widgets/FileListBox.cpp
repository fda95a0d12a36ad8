#include "examples/widgets/FileListBox.h"

#include "platform/FileNames.h"

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
    m_pressSelected = false;
    QListWidget::mousePressEvent(event);
}

} // namespace varnotel
