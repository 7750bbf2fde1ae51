// Fuzz target: the texts read out of the settings store (font descriptions,
// colour texts, whole numbers and the scrambled proxy password). Garbage must end
// in the defined errors, never in a crash, and readable values must round-trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/font_description.h"
#include "app/quill_encryption.h"
#include "app/text_forms.h"
#include "base/color_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  ferrowyn::FontRecord font;
  try {
    ferrowyn::ReadFontDescription(text, font);
  } catch (const ferrowyn::EFontDescriptionError&) {
  }

  if (const auto color = ferrowyn::StringToColor(text)) {
    if (ferrowyn::StringToColor(ferrowyn::ColorToString(*color)) != color) std::abort();
  }
  if (const auto number = ferrowyn::ReadWholeNumber(text)) {
    if (ferrowyn::ReadWholeNumber(std::to_string(*number)) != number) std::abort();
  }

  ferrowyn::TQuillEncryption quill([] { return 0x5A; });
  quill.Key = ferrowyn::kSetupScramblerKey;
  quill.Action = ferrowyn::TQuillEncryption::atDecryption;
  quill.Input = text;
  try {
    quill.Execute();
  } catch (const ferrowyn::EQuillError&) {
  }
  // Passwords without the bytes 0 and 255 come back from their scrambled text.
  std::string plain;
  for (char c : text) {
    if (c != '\0' && c != '\xFF') plain += c;
  }
  quill.Action = ferrowyn::TQuillEncryption::atEncryption;
  quill.Input = plain;
  quill.Execute();
  quill.Action = ferrowyn::TQuillEncryption::atDecryption;
  quill.Input = quill.Output;
  quill.Execute();
  if (quill.Output != plain) std::abort();
  return 0;
}
