// Texts shown in a message box, whose label takes a single "&" as an accelerator marker.
#pragma once

#include <string>

namespace ferrowyn {

// Doubles every "&" of `text`, in place, so that the label shows each "&" as typed.
// Nothing else changes. Pure; any thread.
void filteramps(std::string& text);

}  // namespace ferrowyn
