// The program's own pictures from the compiled-in SVG files.
#include "gui/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

namespace ferrowyn::gui {

namespace {
QString PicturePath(const QString& name) { return QStringLiteral(":/pictures/") + name + ".svg"; }
}  // namespace

QPixmap Picture(const QString& name, QSize size) {
  const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(PicturePath(name));
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  return pixmap;
}

QLabel* PictureLabel(const QString& name, QWidget* parent) {
  const QSize size = QSvgRenderer(PicturePath(name)).defaultSize();
  auto* label = new QLabel(parent);
  label->setObjectName(QStringLiteral("picture"));
  label->setPixmap(Picture(name, size));
  label->setFixedSize(size);
  return label;
}

}  // namespace ferrowyn::gui
