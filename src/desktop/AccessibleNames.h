#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace varnotel {

// A control is named for a screen reader after the label that stands above
// it, as a person reads the window: "期刊列表 Journal List:" names the list
// "期刊列表 Journal List".
inline QString nameFromCaption(QString caption) {
    while (caption.endsWith(QLatin1Char(':')) || caption.endsWith(QLatin1Char(' ')))
        caption.chop(1);
    return caption;
}

template <typename W> W *namedAfter(const QLabel *label, W *control) {
    control->setAccessibleName(nameFromCaption(label->text()));
    return control;
}

} // namespace varnotel
