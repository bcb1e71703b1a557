#include "vigilix/alert_report.h"

#include <algorithm>
#include <memory>

namespace vigilix {
namespace {

// A NUL-terminated copy of text that the callback may read and write.
std::unique_ptr<char[]> CopyText(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::ranges::copy(text, copy.get());
  copy[text.size()] = '\0';
  return copy;
}

std::uint32_t BufferSize(const std::string& text) { return static_cast<std::uint32_t>(text.size() + 1); }

}  // namespace

void AlertReport::Add(std::int32_t code, std::string_view text) {
  if (std::ranges::find(alerts_, text, &ReportedAlert::text) != alerts_.end()) return;
  alerts_.push_back({code, std::string(text)});
}

void AlertReport::Deliver(VX_ALERT_CALLBACK callback) const {
  // Every text comes from a catalog entry or two, so a report stays far below
  // 65535 entries; the count is capped to what its field can say regardless.
  const std::size_t count = std::min<std::size_t>(alerts_.size(), UINT16_MAX);
  const auto model = CopyText(model_);
  std::vector<std::unique_ptr<char[]>> texts;
  std::vector<ALERT_ENTRY> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    texts.push_back(CopyText(alerts_[i].text));
    entries[i] = {alerts_[i].code, texts.back().get(), BufferSize(alerts_[i].text)};
  }
  _VIGILIX_RETURN report{printer_, model.get(), BufferSize(model_), static_cast<std::uint16_t>(count),
                         entries.data()};
  callback(&report);
}

}  // namespace vigilix
