#include "tools/tec-receiver/frame_stream.h"

#include <cstring>

#include "eif/tec_frame.h"

bool FrameStream::Feed(std::string_view data, const std::function<void(std::string_view)>& onEvent) {
  if (!error_.empty()) return false;
  pending_.append(data);
  std::size_t offset = 0;
  while (pending_.size() - offset >= FRAME_HEADER_SIZE) {
    char header[FRAME_HEADER_SIZE];
    std::memcpy(header, pending_.data() + offset, FRAME_HEADER_SIZE);
    TecFrameHeader fields = ParseFrameHeader(header);
    if (fields.error == nullptr && fields.textLength > kMaxTextLength) fields.error = "event length beyond 64 MB";
    if (fields.error != nullptr) {
      error_ = fields.error;
      pending_.clear();
      return false;
    }
    if (pending_.size() - offset - FRAME_HEADER_SIZE < fields.textLength) break;
    onEvent(std::string_view(pending_).substr(offset + FRAME_HEADER_SIZE, fields.textLength));
    offset += FRAME_HEADER_SIZE + fields.textLength;
  }
  pending_.erase(0, offset);
  return true;
}
