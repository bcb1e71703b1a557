// tec-receiver's frame parser over arbitrary byte streams cut into arbitrary
// pieces: the pieces give the same events and the same verdict as the whole
// stream, every event is a well-framed part of the stream, and each event's
// printed line decodes back to its bytes.

#include <string>
#include <vector>

#include "eif/tec_frame.h"
#include "fuzz_support.h"
#include "tools/tec-receiver/event_line.h"
#include "tools/tec-receiver/frame_stream.h"

namespace {

struct Outcome {
  std::vector<std::string> events;
  bool healthy = true;
  bool insideFrame = false;
};

Outcome FeedWhole(std::string_view stream) {
  Outcome outcome;
  FrameStream frames;
  outcome.healthy = frames.Feed(stream, [&](std::string_view event) { outcome.events.emplace_back(event); });
  outcome.insideFrame = frames.InsideFrame();
  return outcome;
}

Outcome FeedInPieces(std::string_view stream, FuzzInput& cuts) {
  Outcome outcome;
  FrameStream frames;
  while (!stream.empty()) {
    const std::size_t length = std::min<std::size_t>(stream.size(), 1 + cuts.Byte() % 64);
    if (!frames.Feed(stream.substr(0, length), [&](std::string_view event) { outcome.events.emplace_back(event); })) {
      outcome.healthy = false;
      FUZZ_CHECK(!frames.Error().empty());
      break;
    }
    stream.remove_prefix(length);
  }
  outcome.insideFrame = outcome.healthy && frames.InsideFrame();
  return outcome;
}

std::string DecodeLine(std::string_view line) {
  std::string bytes;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\') {
      FUZZ_CHECK(line[i] >= 0x20 && line[i] < 0x7F);
      bytes += line[i];
      continue;
    }
    FUZZ_CHECK(i + 1 < line.size());
    const char kind = line[++i];
    if (kind == '\\') bytes += '\\';
    else if (kind == 'n') bytes += '\n';
    else {
      FUZZ_CHECK(kind == 'x' && i + 2 < line.size());
      bytes += static_cast<char>(std::stoi(std::string(line.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    }
  }
  return bytes;
}

// The stream of frames the sender would write for the events.
std::string Reframe(const std::vector<std::string>& events) {
  std::string stream;
  for (const std::string& event : events) {
    char header[FRAME_HEADER_SIZE];
    BuildFrameHeader(static_cast<std::uint32_t>(event.size()), header);
    stream.append(header, sizeof header);
    stream += event;
  }
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string stream(input.LongPiece());
  const Outcome whole = FeedWhole(stream);
  const Outcome pieces = FeedInPieces(stream, input);
  FUZZ_CHECK(whole.events == pieces.events);
  FUZZ_CHECK(whole.healthy == pieces.healthy);
  if (whole.healthy) FUZZ_CHECK(whole.insideFrame == pieces.insideFrame);

  // The events are the stream's frames, in order, from its start.
  const std::string framed = Reframe(whole.events);
  FUZZ_CHECK(stream.compare(0, framed.size(), framed) == 0);
  if (whole.healthy) FUZZ_CHECK(whole.insideFrame == (framed.size() < stream.size()));
  for (const std::string& event : whole.events) FUZZ_CHECK(DecodeLine(EscapeEventText(event)) == event);
  return 0;
}
