// The program's own pictures, drawn as SVG and compiled into the program, shown at
// any size.
#pragma once

#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

namespace ferrowyn::gui {

// The picture ":/pictures/NAME.svg" drawn at `size` (in device-independent pixels,
// sharp on high-density screens); a transparent pixmap when there is no such picture.
// GUI thread only.
QPixmap Picture(const QString& name, QSize size);
// A label of the picture's own size showing it, named "picture". Owned by `parent`.
QLabel* PictureLabel(const QString& name, QWidget* parent);

}  // namespace ferrowyn::gui
