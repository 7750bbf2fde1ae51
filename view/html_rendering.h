// The stored page as the viewer's upper pane gets it: the page text joined from its
// "DISPLAYXX" record, and the page's title taken out of it for the window caption.
#pragma once

#include <string>
#include <string_view>

namespace ferrowyn {

// The caption of a page without a title.
inline constexpr std::string_view kUntitledPageCaption = "Untitled";

// The page text of a stored page from the bytes of its "DISPLAYXX" record. The record is
// split into lines (CR LF, CR or LF); the page is HTML when any line holds "<html>" (any
// case). A pre flag starts set for a page that is not HTML. Each line, trimmed of blanks
// and control characters, sets the flag when it holds "<pre>" and then clears it when it
// holds "</pre>" (any case), and is appended behind "<BR>" while the flag is set, else
// behind a blank. So line breaks survive in preformatted blocks and in pages that are
// not HTML. An empty record gives an empty text. Pure; any thread.
std::string JoinStoredPage(std::string_view record);

// Takes the title out of an HTML rendering, in place, and returns the window caption.
// The title is the text between the first "<title>" and the first "</title>" (any case),
// trimmed; there is none when either is missing or they are out of order. As many
// characters as the trimmed title has are deleted right behind "<title>": all of it when
// it has no leading blanks, else those blanks and all but as many of its last characters.
// The caption is the title without anything from a "<" through the next ">" (so
// highlight markup does not show), trimmed, or kUntitledPageCaption when that is empty.
// Pure; any thread.
std::string TakeTitle(std::string& html);

}  // namespace ferrowyn
