// Theme names and their built-in fallbacks.
#include "gui/theme_icons.h"

#include <QApplication>
#include <QStyle>

namespace ferrowyn::gui {

namespace {
struct IconSource {
  const char* theme_name;
  QStyle::StandardPixmap fallback;
};

IconSource SourceOf(IconId id) {
  switch (id) {
    case IconId::kSearch:
      return {"system-search", QStyle::SP_FileDialogContentsView};
    case IconId::kSiteMapping:
      return {"view-list-tree", QStyle::SP_DirOpenIcon};
    case IconId::kHelp:
      return {"help-browser", QStyle::SP_DialogHelpButton};
    case IconId::kExit:
      return {"application-exit", QStyle::SP_DialogCloseButton};
    case IconId::kTransferSlot:
      return {"network-receive", QStyle::SP_ArrowDown};
    case IconId::kQuerySlot:
      return {"edit-find", QStyle::SP_FileDialogDetailedView};
    case IconId::kProgram:
      return {"system-search", QStyle::SP_ComputerIcon};
  }
  return {"", QStyle::SP_FileIcon};
}
}  // namespace

QIcon ThemeIcon(IconId id) {
  const IconSource source = SourceOf(id);
  return QIcon::fromTheme(QString::fromLatin1(source.theme_name),
                          QApplication::style()->standardIcon(source.fallback));
}

}  // namespace ferrowyn::gui
