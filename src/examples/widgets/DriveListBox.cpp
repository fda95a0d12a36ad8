#include "examples/widgets/DriveListBox.h"

#include <QSignalBlocker>

namespace varnotel {

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::change);
}

void DriveListBox::setDrives(const QList<Drive> &drives) {
    const QSignalBlocker quiet(this);
    m_drives = drives;
    clear();
    for (const Drive &drive : drives)
        addItem(drive.text);
}

QString DriveListBox::drive() const { return m_drives.value(currentIndex()).root; }

void DriveListBox::showDriveOf(const QString &folder) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(static_cast<int>(driveOf(m_drives, folder)));
}

} // namespace varnotel
