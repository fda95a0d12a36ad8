#include "desktop/ControlStyle.h"

#include <QPalette>
#include <QWidget>

namespace varnotel::style {

QRect fromTwips(int left, int top, int width, int height) {
    auto px = [](int twips) { return (twips + 7) / 15; };
    return {px(left), px(top), px(width), px(height)};
}

QFont timesNewRoman(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont songTi(qreal pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(pointSize);
    return font;
}

QFont defaultControlFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(9);
    return font;
}

void setColours(QWidget *widget, const QColor &background, const QColor &text) {
    QPalette colours = widget->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        colours.setColor(role, background);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        colours.setColor(role, text);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

} // namespace varnotel::style
