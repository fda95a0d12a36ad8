#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// The look every window of the program shares: places, fonts and colours.
namespace varnotel::style {

// Places and sizes are written in twips, 15 to a logical pixel.
QRect fromTwips(int left, int top, int width, int height);

// Times New Roman, through fontconfig's metric-compatible stand-ins.
QFont timesNewRoman(qreal pointSize, bool bold = false);
// 宋体 for Chinese notes, falling back to an installed CJK serif.
QFont songTi(qreal pointSize);
// The font of every control that stores none of its own: 宋体 9 pt, as on the
// Chinese-language systems the window was laid out on. Without it, Latin
// letters come from the Times stand-in and Chinese from a CJK serif, whose
// own Latin letters reach too deep for the 17-pixel labels.
QFont defaultControlFont();

void setColours(QWidget *widget, const QColor &background, const QColor &text);

// A control under its own name, at its stored place.
template <typename W> W *placed(W *widget, const char *name, int left, int top, int width, int height) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(fromTwips(left, top, width, height));
    return widget;
}

inline const QColor kButtonFace(224, 224, 224);

} // namespace varnotel::style
