// The text-only rendering of a stored page: every tag stripped but line and paragraph
// breaks (`formathtmltags`), then the text cut into the lines the viewer's lower pane shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// The text-only conversion, on a copy of `text` with "<eof>" appended (tag names are
// matched regardless of ASCII case):
//  1. the first "<title>" through the first "</title>" goes, when that one comes after it;
//  2. then, while the first "<script" comes before the first "</script>", that stretch
//     goes; 3. the same for "<style" ... "</style>"; 4. and for "<!--" ... "-->";
//  5. the tag scan from the front: a ">" before the first "<" goes; the tag from the first
//     "<" through the next ">" is, by the first rule that fits (lower-cased):
//     "<html>", "<head>": deleted;
//     "<tr...", "<form...", "<hr>", "</center>", "<li>", "<dt>", "<dd>", "</ul>", "</ol>",
//       "</dl>", "</table>", "<blockquote>", "</blockquote>", "</div>", "</form>": "<br>";
//     "<h...", "<p align...", "<div...", "</h...": "<p>";
//     "<br>", "<p>": kept as written;
//     "<td...", "<th...", "</td>", "</th>": one blank;
//     anything else: deleted; the tag "<eof>" also ends the scan (so a page's own "<eof>"
//     leaves the tags behind it, and the appended one, in place).
//     The scan ends when no "<" or no ">" is left. The breaks it writes are held as the
//     bytes 0xA5 and 0xB5 in place of "<" and ">" so that the scan passes over them;
//  6. every byte 0xA5 becomes "<" and every 0xB5 ">", the page's own ones included;
//  7. every "&nbsp;" (lower case only) becomes one blank.
// Runs in time linear in the length of the text; the result is the one that searching
// again from the front after every change gives. Pure; any thread; throws std::bad_alloc.
std::string formathtmltags(std::string_view text);

// The lines of the text-only rendering of `formatted` (the output of formathtmltags,
// perhaps highlighted):
//  1. the text is cut right after every "<br>" and "<p>" (any case), each marker staying
//     at the end of its line; what follows the last one is the last line, even when empty;
//  2. a line is blank when, trimmed of blanks and control characters, it is empty or just
//     "<br>" or "<p>" (any case); of each run of blank lines only the last stays;
//  3. a blank first line goes;
//  4. the first line loses its leading blanks and then a leading "<br>" or "<p>" (exactly
//     in lower case).
// An empty or all-blank text gives no lines. Linear time. Pure; any thread.
std::vector<std::string> TextOnlyLines(std::string_view formatted);

}  // namespace ferrowyn
