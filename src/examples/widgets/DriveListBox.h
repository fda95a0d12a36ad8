#pragma once

#include "examples/Drives.h"

#include <QComboBox>

namespace varnotel {

// The drive list: the places to start from, one of them current.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    void setDrives(const QList<Drive> &drives);
    // The current drive's root folder.
    QString drive() const;
    // Makes the drive that holds the folder current, without a change event.
    void showDriveOf(const QString &folder);

signals:
    // The person chose another drive.
    void change();

private:
    QList<Drive> m_drives;
};

} // namespace varnotel
