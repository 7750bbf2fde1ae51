// The live settings: what the setup dialog's controls hold, as a plain object
// that runs without a display. The settings loader fills it, the setup dialog
// shows and edits it, and every other part reads the value it needs at the
// moment its operation starts (a crawl reads its limits when it starts).
#pragma once

#include <string>
#include <vector>

#include "base/color_text.h"

namespace ferrowyn {

// An edit field: its text and whether it is enabled. An enabled field is drawn
// with a white background, a disabled one with silver.
struct EditField {
  std::string text;
  bool enabled = true;
};

// The crawl scope radio buttons of the setup dialog, `none` .. `usefilter`.
enum class SearchType { kNone, kDomain, kDirectory, kServer, kFilter };

// The seven extensions the crawl follows from every start of the program.
std::vector<std::string> BuiltInFileTypes();

// Owned by the setup dialog for the whole run; GUI thread only. Field names are
// those of the dialog's controls. Defaults here are the controls' state when the
// dialog is created, before the first load.
struct LiveSettings {
  // "Restrictions" page.
  SearchType searchtype = SearchType::kNone;
  bool restrictlevelsdeep = false;
  EditField levels;
  bool restrictnumberoffiles = false;
  EditField filesrestriction;
  bool restrictdownloadsize = false;
  EditField megrestriction;

  // "Options" page.
  bool searchwithincomments = false;
  bool searchwithinall = false;
  bool searchwithintitles = false;
  bool userpass = false;
  bool mailaddr = false;
  bool ignorecgiscript = false;
  Rgb highlightcolor = kRed;  // font colour of `exampletext`, also the colour dialog's
  bool highgraph = false;
  bool hightext = false;

  // "Advanced" page.
  std::string typetoadd;
  std::vector<std::string> filetypes = BuiltInFileTypes();
  int filetypesselected = -1;  // index of the selected entry of `filetypes`, -1: none

  // "Internet" page.
  bool enableproxy = false;
  EditField proxyserver;
  EditField proxyport;
  EditField proxyusername;
  EditField proxypassword;  // plain text; shown as "*"
  EditField httptimeout;
  EditField slowtimeout;
  std::string webagentbox;
  // `allowhttps` "Allow HTTPS": https:// start URLs are kept as typed and https://
  // links are followed, over TLS.
  bool allowhttps = false;
  // Accept a certificate that fails verification. Given per run (ferrowyn-cli's
  // --insecure), never stored.
  bool acceptbadcertificates = false;

  // "System" page: track bar positions.
  int internalcachebar = 5;
  int searchbar = 4;
  int querybar = 4;

  // "Printing" page: the font descriptions held by the hidden labels.
  std::string titledetails;
  std::string subtitledetails;
  std::string bodydetails;
  bool dispdate = false;
  bool dispname = false;

  // Hidden field: the data directory, ending in a separator.
  std::string datadir;

  // The main window's Help menu item "&Show Hints" (`EnableHints1`): its check mark
  // is also whether hints are shown application-wide.
  bool hints = true;
};

// An editable drop-down list of the search center: its text and its items.
struct HistoryField {
  std::string text;
  std::vector<std::string> items;
};

// The two fields of the search center whose items are the histories. Owned by
// the main window's controller; the settings loader and the setup dialog fill
// and clear them.
struct SearchFields {
  HistoryField URL{"http://", {}};
  HistoryField querysearch;
};

}  // namespace ferrowyn
