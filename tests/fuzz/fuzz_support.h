#pragma once
// Pieces shared by the fuzz targets: a reader that hands out the input's bytes
// piece by piece, a scratch directory for targets that read files, and the
// check that reports a broken invariant as a crash the fuzzer keeps.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

// A broken invariant: the message on standard error, then abort, so that
// libFuzzer saves the input and the corpus runner fails.
#define FUZZ_CHECK(condition)                                                                   \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);    \
      std::abort();                                                                             \
    }                                                                                           \
  } while (false)

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  bool Empty() const { return bytes_.empty(); }
  std::size_t Remaining() const { return bytes_.size(); }

  // The next byte, 0 when the input is used up.
  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    std::uint8_t byte = bytes_.front();
    bytes_ = bytes_.subspan(1);
    return byte;
  }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }

  // A piece whose length is the next byte (at most what is left).
  std::string_view Piece() { return Take(Byte()); }
  // A piece whose length is the next word.
  std::string_view LongPiece() { return Take(Word()); }
  // Everything not taken yet.
  std::string_view Rest() { return Take(bytes_.size()); }

  std::string_view Take(std::size_t length) {
    length = std::min(length, bytes_.size());
    std::string_view piece(reinterpret_cast<const char*>(bytes_.data()), length);
    bytes_ = bytes_.subspan(length);
    return piece;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// A directory of this process under the system's temporary directory, made at
// the first call and removed when the process ends.
const std::filesystem::path& FuzzScratchDirectory();

// Writes content to the file name of the scratch directory; its full path.
std::string WriteScratchFile(const std::string& name, std::string_view content);
