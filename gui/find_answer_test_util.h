// For the window tests: answers the next find dialog as a user does, typing the text,
// setting "Match Case" and pressing Find or Cancel.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <memory>

#include "gui/find_form.h"

namespace ferrowyn::gui::testing {

// Waits for the dialog from the event loop it runs; gives up after many tries so that a
// dialog that never comes fails the test instead of hanging it.
inline void AnswerFind(const QString& text, bool matchcase, bool ok = true) {
  auto tries = std::make_shared<int>(0);
  auto answer = std::make_shared<std::function<void()>>();
  *answer = [=] {
    auto* form = qobject_cast<Tfindform*>(QApplication::activeModalWidget());
    if (form == nullptr) {
      if (++*tries < 3000) QTimer::singleShot(10, *answer);
      return;
    }
    form->findtext()->setText(text);
    form->casesensitive()->setChecked(matchcase);
    ok ? form->accept() : form->reject();
    *answer = nullptr;  // no cycle left behind
  };
  QTimer::singleShot(0, *answer);
}

}  // namespace ferrowyn::gui::testing
