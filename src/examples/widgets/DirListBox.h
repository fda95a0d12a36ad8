#pragma once

#include "platform/FileSystem.h"

#include <QListWidget>

namespace varnotel {

// The folder list: the current folder under its chain of parents from the
// root folder, each open and indented one step more, then the current
// folder's own subfolders. A double-click (or Enter) on any of them makes it
// the current folder.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    DirListBox(const FileSystem &fs, QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Shows the folder; a change event follows when it is another one.
    void setPath(const QString &path);

signals:
    void change();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void enter(const QListWidgetItem *item);
    void addFolder(const QString &name, const QString &path, int depth, bool open);

    const FileSystem &m_fs;
    QString m_path;
};

} // namespace varnotel
