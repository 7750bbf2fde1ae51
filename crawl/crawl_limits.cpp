// The statistics labels read back as numbers.
#include "crawl/crawl_limits.h"

#include <optional>

namespace ferrowyn {

namespace {

constexpr std::int64_t kMaxWhole = std::int64_t{1} << 50;  // far beyond any real total

// The label's value in hundredths (digits past the second decimal cut off); nullopt when
// the text is not a plain non-negative decimal number.
std::optional<std::int64_t> Hundredths(std::string_view text) {
  std::size_t i = 0;
  std::int64_t whole = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = whole * 10 + (text[i] - '0');
    digits = true;
    if (whole > kMaxWhole) return std::nullopt;
  }
  std::int64_t fraction = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    int places = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++places) {
      if (places < 2) fraction = fraction * 10 + (text[i] - '0');
      digits = true;
    }
    for (; places < 2; ++places) fraction *= 10;
  }
  if (!digits || i != text.size()) return std::nullopt;
  return whole * 100 + fraction;
}

std::string WriteHundredths(std::int64_t value) {
  std::string text = std::to_string(value / 100);
  const int fraction = static_cast<int>(value % 100);
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

std::optional<std::int64_t> WholeNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxWhole) return std::nullopt;
  }
  return value;
}

}  // namespace

bool CheckDownloadLimits(std::string& bytestran, const std::string& numproc,
                         std::uint64_t LastBytes, const DownloadLimits& limits) {
  bool may_continue = true;
  if (const std::optional<std::int64_t> shown = Hundredths(bytestran)) {
    // Exact in hundredths: the label already holds at most two decimals, so cutting
    // the sum equals adding the page's cut share.
    const std::int64_t total = *shown + static_cast<std::int64_t>(LastBytes / 10);
    bytestran = WriteHundredths(total);
    if (limits.LimitKBytes && total >= limits.MaxKBytes * 100) may_continue = false;
  }
  if (limits.LimitFiles) {
    if (const std::optional<std::int64_t> pages = WholeNumber(numproc)) {
      if (*pages >= limits.MaxFiles) may_continue = false;
    }
  }
  return may_continue;
}

void CountPageLabel(std::string& numproc) {
  if (const std::optional<std::int64_t> pages = WholeNumber(numproc)) {
    numproc = std::to_string(*pages + 1);
  }
}

}  // namespace ferrowyn
