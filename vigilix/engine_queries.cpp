#include "vigilix/engine_queries.h"

#include <algorithm>
#include <array>
#include <span>

#include "bce/bce.h"
#include "vigilix/answer_decoders.h"
#include "vigilix/printer_database.h"

namespace vigilix {
namespace {

constexpr std::size_t kDeviceClassOffset = 4;
constexpr std::size_t kModelOffset = 35;

// Sends the command; the number of answer bytes, within the buffer, or
// nothing when the engine refused.
std::optional<std::size_t> SendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t command,
                                    std::span<std::uint8_t> answer, std::span<const std::uint8_t> request = {}) {
  std::uint32_t length = static_cast<std::uint32_t>(answer.size());
  const std::int32_t result =
      BceSendBidi(application, printer, 0, command, answer.data(), &length,
                  request.empty() ? nullptr : request.data(), static_cast<std::uint32_t>(request.size()));
  if (result != 0) return std::nullopt;
  return std::min<std::size_t>(length, answer.size());
}

bool QueryLocations(std::int16_t application, std::uint16_t printer, std::uint32_t command,
                    std::vector<Location> (*decode)(std::span<const std::uint8_t>), LocationList& into) {
  std::array<std::uint8_t, kListAnswerBufferSize> answer{};
  const auto length = SendBidi(application, printer, command, answer);
  if (!length) return false;
  for (Location& location : decode(std::span(answer).first(*length))) into.Add(location.key, std::move(location.name));
  return true;
}

}  // namespace

std::uint8_t QueryDeviceClass(std::int16_t application, std::uint16_t printer) {
  static constexpr std::array<std::uint8_t, 2> kRequest = {0x00, 0xB2};
  std::array<std::uint8_t, kAnswerBufferSize> answer{};
  const auto length = SendBidi(application, printer, BIDI_GET_CLASS, answer, kRequest);
  if (!length || *length <= kDeviceClassOffset) return kNoDeviceClass;
  return answer[kDeviceClassOffset];
}

std::string QueryModel(std::int16_t application, std::uint16_t printer) {
  std::array<std::uint8_t, kAnswerBufferSize> answer{};
  const auto length = SendBidi(application, printer, BIDI_GET_MODEL, answer);
  if (!length || *length <= kModelOffset) return {};
  const auto text = std::span(answer).subspan(kModelOffset, *length - kModelOffset);
  return std::string(text.begin(), std::ranges::find(text, std::uint8_t{0}));
}

bool QueryInputSources(std::int16_t application, std::uint16_t printer, LocationList& sources) {
  return QueryLocations(application, printer, BIDI_GET_INPUTS, DecodeInputSources, sources);
}

bool QueryOutputBins(std::int16_t application, std::uint16_t printer, LocationList& bins) {
  return QueryLocations(application, printer, BIDI_GET_OUTPUTS, DecodeOutputBins, bins);
}

std::optional<std::vector<std::uint8_t>> QueryCategoryStatus(std::int16_t application, std::uint16_t printer,
                                                             std::uint32_t command) {
  std::vector<std::uint8_t> answer(kAnswerBufferSize);
  const auto length = SendBidi(application, printer, command, answer);
  if (!length || *length == 0) return std::nullopt;
  answer.resize(*length);
  return answer;
}

}  // namespace vigilix
