// The mail miner window `Tmailform`: the current site's mail addresses as lines of a
// read-only text, with sort, select all, clipboard, save as, print and help.
#pragma once

#include <QDialog>
#include <functional>

#include "app/search_center.h"
#include "store/mail_list_file.h"

class QPlainTextEdit;
class QPushButton;

namespace ferrowyn::gui {

inline constexpr int kHelpMailMiner = 1034;

class Tprintdlg;

// Created once at start-up and kept for the whole run; GUI thread only. Shows the
// controller's `mailview()` model and follows its changes. `main` and `mainwindow`
// outlive it; `help` opens a help topic. While shown, `mainwindow` is disabled.
class Tmailform : public QDialog {
  Q_OBJECT

 public:
  Tmailform(Tsearchmain& main, std::function<void(int)> help, QWidget* mainwindow);

  void BitBtn4Click();  // "Sort"
  void BitBtn6Click();  // "Select All"
  void BitBtn7Click();  // "Clipboard"
  void BitBtn2Click();  // "Save As..."
  // "Print": the list in a new print preview, which it returns.
  Tprintdlg* BitBtn1Click();

  QPlainTextEdit* mailview() const { return mailview_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The list changed: the text follows once, however many rows changed at a time.
  void ListChanged();
  void ShowList();

  Tsearchmain& main_;
  std::function<void(int)> help_;
  QWidget* mainwindow_;
  MailListFile SaveDialog1_;
  QPlainTextEdit* mailview_ = nullptr;
  bool stale_ = true;
  bool showqueued_ = false;
};

}  // namespace ferrowyn::gui
