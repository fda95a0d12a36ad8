#pragma once

#include "platform/FileSystem.h"

#include <QListWidget>

namespace varnotel {

// The file list: the files of one folder, by name. Every selection is
// announced, by a click (also on the file already selected) or a key.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    FileListBox(const FileSystem &fs, QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    // The selected file's name, empty when none is selected.
    QString fileName() const;

signals:
    void click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const FileSystem &m_fs;
    QString m_path;
    // A mouse button is down on the list: its selection is the click's, told on release.
    bool m_mouseDown = false;
};

} // namespace varnotel
