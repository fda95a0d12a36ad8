#pragma once

#include <QWidget>

namespace varnotel {

// A hidden list that is only ever counted: it keeps how many items were
// appended, not the items, so a library of 200,000 articles costs no memory
// here.
class CountingList : public QWidget {
public:
    using QWidget::QWidget;

    void addItems(qint64 count) { m_count += count; }
    void clear() { m_count = 0; }
    qint64 listCount() const { return m_count; }

private:
    qint64 m_count = 0;
};

} // namespace varnotel
