// Draws the program's SVG pictures into pixmaps.
#include "gui/program_pictures.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

namespace ferrowyn::gui {

namespace {
QPixmap Draw(QSvgRenderer& renderer, QSize size, qreal ratio) {
  QPixmap pixmap(size * ratio);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}
}  // namespace

QPixmap SvgPixmap(const QString& path, qreal scale) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  return Draw(renderer, (renderer.defaultSize() * scale), qGuiApp->devicePixelRatio());
}

QPixmap ProgramPicture() { return SvgPixmap(QString::fromLatin1(kProgramPicturePath)); }

QIcon ProgramIcon() {
  QSvgRenderer renderer(QString::fromLatin1(kProgramIconPath));
  QIcon icon;
  if (!renderer.isValid()) return icon;
  for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addPixmap(Draw(renderer, {side, side}, 1));
  return icon;
}

QLabel* AddPictureAndVersion(QBoxLayout& layout, QWidget* owner) {
  auto* picture = new QLabel(owner);
  picture->setPixmap(ProgramPicture());
  layout.addWidget(picture);
  auto* version = new QLabel(kVersionText, owner);
  version->setObjectName("version");
  layout.addWidget(version);
  return version;
}

}  // namespace ferrowyn::gui
