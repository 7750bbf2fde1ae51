// The backgrounds of enabled and disabled edit fields.
#include "gui/field_colors.h"

#include <QPalette>
#include <QWidget>

namespace ferrowyn::gui {

void SetFieldEnabled(QWidget* field, bool enabled) {
  field->setEnabled(enabled);
  QPalette palette = field->palette();
  const QColor background = enabled ? QColor(Qt::white) : kFieldSilver;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, background);
  field->setPalette(palette);
}

}  // namespace ferrowyn::gui
