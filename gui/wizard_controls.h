// Controls the wizards share: wrapped text, the keyword note, the history fields.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QWidget;

namespace ferrowyn::gui {

// A label that wraps its text over the page's width.
QLabel* WrappedText(const QString& text, QWidget* parent);
// "(Phrasal searches should be in "Quotes")".
QLabel* PhraseNote(QWidget* parent);
// An editable drop-down list named `name` holding `items`, with `text` in its field.
QComboBox* HistoryBox(const char* name, const std::vector<std::string>& items,
                      const std::string& text, QWidget* parent);

// The query options in one row: `any` ("Any", checked), the "All" button named
// `allname`, `word` ("Match Whole Word Only") and `casesensitive` ("Match Case").
struct QueryOptions {
  QRadioButton* any = nullptr;
  QRadioButton* all = nullptr;
  QCheckBox* word = nullptr;
  QCheckBox* casesensitive = nullptr;
};
QueryOptions AddQueryOptions(QBoxLayout* into, const char* allname, QWidget* parent);

}  // namespace ferrowyn::gui
