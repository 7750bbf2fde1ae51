// The program's own pictures, drawn from the SVG files compiled into the program
// (gui/pictures/): the picture of the splash window and the about box, and the
// application icon.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QBoxLayout;
class QLabel;
class QWidget;

namespace ferrowyn::gui {

// The version the splash window and the about box show.
inline constexpr char kVersionText[] = "Version 2.2";

// The resource paths of the pictures, for anyone who draws them at another size.
inline constexpr char kProgramPicturePath[] = ":/pictures/ferrowyn.svg";
inline constexpr char kProgramIconPath[] = ":/pictures/ferrowyn-icon.svg";

// The SVG at `path` drawn at its own size (`scale` times larger), for the screen's
// pixel ratio; a null pixmap when the file is missing or not a picture. GUI thread
// only; throws nothing.
QPixmap SvgPixmap(const QString& path, qreal scale = 1.0);

// The program's picture at its own size (440 x 200), sharp on high-density screens.
QPixmap ProgramPicture();

// The application icon at the sizes desktops ask for.
QIcon ProgramIcon();

// Adds the program's picture and below it the version label (object name "version")
// to `layout`, as children of `owner`; returns the version label.
QLabel* AddPictureAndVersion(QBoxLayout& layout, QWidget* owner);

}  // namespace ferrowyn::gui
