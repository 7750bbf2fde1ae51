// The find dialog `Tfindform` of the page list and the viewer, and the find state each
// of them keeps between searches.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;

namespace ferrowyn::gui {

inline constexpr int kFindHelpTopic = 1058;

// The text and match-case setting of the last find.
struct FindState {
  std::string text;
  bool matchcase = false;
};

// Fixed size, captioned "Find", centred on the screen and kept on top. Created for one
// search and released afterwards. GUI thread only.
class Tfindform : public QDialog {
  Q_OBJECT

 public:
  // `help` opens a help topic; it outlives the dialog.
  Tfindform(const FindState& preset, std::function<void(int)> help, QWidget* parent = nullptr);

  FindState state() const;
  QLineEdit* findtext() const { return findtext_; }
  QCheckBox* casesensitive() const { return casesensitive_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* findtext_ = nullptr;
  QCheckBox* casesensitive_ = nullptr;
};

// Steps shared by both finds: with `ask`, shows the dialog preset with `state` and
// keeps its text and match case in `state` whatever the answer; without, the state is
// used as it is, as if "Find" had been pressed. True when the search is to run.
bool AskFind(FindState& state, bool ask, const std::function<void(int)>& help, QWidget* parent);

}  // namespace ferrowyn::gui

namespace ferrowyn::gui {

// The information text of a find that found nothing. The text is shown as typed: the
// message box shows its text as it is, so a "&" needs no doubling.
std::string NotFoundMessage(const std::string& text);

}  // namespace ferrowyn::gui
