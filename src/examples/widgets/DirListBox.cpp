#include "examples/widgets/DirListBox.h"

#include "platform/FileNames.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace varnotel {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndent = 12;

// Draws each folder indented by its depth, as a tree without branches.
class IndentedFolders : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(index.data(kDepthRole).toInt() * kIndent, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

// Hidden folders stay out of sight, as in a file manager.
bool isShown(const DirEntry &entry) {
    return entry.kind == DirEntry::Kind::Folder && !entry.name.startsWith(QLatin1Char('.'));
}

} // namespace

DirListBox::DirListBox(const FileSystem &fs, QWidget *parent) : QListWidget(parent), m_fs(fs) {
    setItemDelegate(new IndentedFolders(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::enter);
}

void DirListBox::setPath(const QString &path) {
    const QString folder = QDir::cleanPath(path);
    const bool changed = folder != m_path;
    m_path = folder;
    clear();
    const QStringList names = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    addFolder(QStringLiteral("/"), QStringLiteral("/"), 0, true);
    QString chain;
    for (qsizetype i = 0; i < names.size(); ++i) {
        chain += QLatin1Char('/') + names.at(i);
        addFolder(names.at(i), chain, static_cast<int>(i + 1), true);
    }
    setCurrentRow(count() - 1);
    const QString parent = folder == QLatin1String("/") ? QString() : folder;
    for (const DirEntry &entry : m_fs.entries(folder)) {
        if (isShown(entry))
            addFolder(entry.name, parent + QLatin1Char('/') + entry.name, static_cast<int>(names.size() + 1),
                      false);
    }
    if (changed)
        emit change();
}

void DirListBox::addFolder(const QString &name, const QString &path, int depth, bool open) {
    auto *item =
        new QListWidgetItem(style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
                            displayName(name), this);
    item->setData(kPathRole, path);
    item->setData(kDepthRole, depth);
    item->setToolTip(displayName(path));
}

void DirListBox::enter(const QListWidgetItem *item) {
    if (item)
        setPath(item->data(kPathRole).toString());
}

void DirListBox::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        enter(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace varnotel
