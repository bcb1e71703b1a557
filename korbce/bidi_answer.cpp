#include "korbce/bidi_answer.h"

#include "bce/bce_records.h"

namespace korbce {
namespace {

// The device class stands in byte 4, the model text from byte 35.
constexpr std::size_t kDeviceClassOffset = 4;
constexpr std::size_t kModelOffset = 35;
// An input-source entry: key, 29 unused bytes, name length, name with its
// NUL, then the count of further bytes (none).
constexpr std::size_t kInputNameLengthOffset = 30;
// An output-bin entry: key, 7 unused bytes, name length, name with its NUL;
// an empty name has length 0 and no NUL.
constexpr std::size_t kOutputNameLengthOffset = 8;

std::vector<std::uint8_t> DeviceClassAnswer(std::uint8_t deviceClass) {
  std::vector<std::uint8_t> answer(kDeviceClassOffset + 1, 0);
  answer[kDeviceClassOffset] = deviceClass;
  return answer;
}

std::vector<std::uint8_t> ModelAnswer(const std::string& model) {
  std::vector<std::uint8_t> answer(kModelOffset, 0);
  answer.insert(answer.end(), model.begin(), model.end());
  answer.push_back(0);
  return answer;
}

void AppendName(std::vector<std::uint8_t>& answer, const std::string& name) {
  answer.insert(answer.end(), name.begin(), name.end());
  answer.push_back(0);
}

std::vector<std::uint8_t> InputsAnswer(const std::vector<Location>& inputs) {
  std::vector<std::uint8_t> answer{0, static_cast<std::uint8_t>(inputs.size())};
  for (const Location& input : inputs) {
    answer.push_back(input.key);
    answer.resize(answer.size() + kInputNameLengthOffset - 1, 0);
    answer.push_back(static_cast<std::uint8_t>(input.name.size() + 1));
    AppendName(answer, input.name);
    answer.push_back(0);  // no further bytes
  }
  return answer;
}

std::vector<std::uint8_t> OutputsAnswer(const std::vector<Location>& outputs) {
  std::vector<std::uint8_t> answer{0, static_cast<std::uint8_t>(outputs.size())};
  for (const Location& output : outputs) {
    answer.push_back(output.key);
    answer.resize(answer.size() + kOutputNameLengthOffset - 1, 0);
    if (output.name.empty()) {
      answer.push_back(0);
    } else {
      answer.push_back(static_cast<std::uint8_t>(output.name.size() + 1));
      AppendName(answer, output.name);
    }
  }
  return answer;
}

std::optional<std::size_t> CategoryOfCommand(std::uint32_t command) {
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    if (kCategoryStatusCommand[bit] == command) return bit;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> CategoryAnswer(const CategoryStatus& status) {
  if (status.entries.empty()) return {0, 0};
  std::vector<std::uint8_t> answer{status.group, static_cast<std::uint8_t>(status.entries.size())};
  for (const DetailEntry& entry : status.entries) {
    answer.insert(answer.end(), entry.begin(), entry.end());
    answer.push_back(0);  // no further bytes
  }
  return answer;
}

std::optional<std::vector<std::uint8_t>> AnswerCommand(const PrinterState& printer, std::uint32_t command) {
  switch (command) {
    case BIDI_GET_CLASS:
      if (printer.deviceClass) return DeviceClassAnswer(*printer.deviceClass);
      return std::nullopt;
    case BIDI_GET_MODEL:
      if (printer.model) return ModelAnswer(*printer.model);
      return std::nullopt;
    case BIDI_GET_INPUTS:
      if (printer.inputs) return InputsAnswer(*printer.inputs);
      return std::nullopt;
    case BIDI_GET_OUTPUTS:
      if (printer.outputs) return OutputsAnswer(*printer.outputs);
      return std::nullopt;
    default:
      if (const auto bit = CategoryOfCommand(command)) return CategoryAnswer(printer.categories[*bit]);
      return std::nullopt;
  }
}

}  // namespace korbce
