// Controls the wizards share.
#include "gui/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

QLabel* WrappedText(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

QLabel* PhraseNote(QWidget* parent) {
  return new QLabel(QStringLiteral("(Phrasal searches should be in \"Quotes\")"), parent);
}

QComboBox* HistoryBox(const char* name, const std::vector<std::string>& items,
                      const std::string& text, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& item : items) box->addItem(Latin1(item));
  box->setEditText(Latin1(text));
  box->setMinimumWidth(280);
  return box;
}

QueryOptions AddQueryOptions(QBoxLayout* into, const char* allname, QWidget* parent) {
  QueryOptions options;
  options.any = new QRadioButton("Any", parent);
  options.any->setObjectName(QStringLiteral("any"));
  options.any->setChecked(true);
  options.all = new QRadioButton("All", parent);
  options.all->setObjectName(QString::fromLatin1(allname));
  options.word = new QCheckBox("Match Whole Word Only", parent);
  options.word->setObjectName(QStringLiteral("word"));
  options.casesensitive = new QCheckBox("Match Case", parent);
  options.casesensitive->setObjectName(QStringLiteral("casesensitive"));
  auto* row = new QHBoxLayout;
  row->addWidget(options.any);
  row->addWidget(options.all);
  row->addWidget(options.word);
  row->addWidget(options.casesensitive);
  row->addStretch();
  into->addLayout(row);
  return options;
}

}  // namespace ferrowyn::gui
