// The one fixed key order of the record store, the same on every machine:
// ASCII A-Z and the Latin-1 capitals 0xC0-0xDE (but 0xD7, the multiplication
// sign) fold to their lower-case forms, then unsigned bytes compare. Keys equal
// under the fold are the same key. Case-sensitive stores compare raw bytes.
#pragma once

#include <string_view>

namespace ferrowyn {

// The byte a key byte folds to when case is ignored.
unsigned char FoldKeyByte(unsigned char c);

// Negative, zero or positive as `a` sorts before, equal to or after `b`.
int CompareKeys(std::string_view a, std::string_view b, bool case_sensitive);

}  // namespace ferrowyn
