// Anchor of the windows library until the first window of the search center lands.
namespace ferrowyn::gui {
int GuiLibraryAnchor() { return 0; }
}  // namespace ferrowyn::gui
