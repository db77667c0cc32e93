// The windows were designed in twips: 15 twips are one pixel at 96 dpi.
#pragma once

#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QSize>

namespace desktop {

constexpr int px(int twips)
{
    return (twips * 2 + 15) / 30;  // nearest pixel
}

inline QRect twips_rect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

inline QSize twips_size(int width, int height)
{
    return {px(width), px(height)};
}

// A command button with its caption, placed in twips on parent.
inline QPushButton* twips_button(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(twips_rect(left, top, width, height));
    return b;
}

// The designed face where it is installed, else the system's Japanese sans-serif.
QFont japanese_font(const QString& designed_family, double points);

}  // namespace desktop
