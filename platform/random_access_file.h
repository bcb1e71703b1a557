#pragma once
// A file read and written at explicit offsets, as raw bytes. Every operation
// passes the file change gate first (platform/file_change_gate.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/native_handle.h"

namespace platform {

class RandomAccessFile {
 public:
  enum class Mode {
    ReadOnly,   // must exist
    ReadWrite,  // opened if present, created if missing
    ReadWriteExisting,  // must exist
    Truncate,   // for writing; created if missing, emptied if present
  };

  // 0, or the system error number of the failure.
  int Open(const std::string& path, Mode mode);
  RandomAccessFile() = default;
  ~RandomAccessFile() { Close(); }
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  bool IsOpen() const { return handle_ != kNoHandle; }
  void Close();

  // 0 or a system error number.
  int Size(std::uint64_t& size) const;
  // Reads up to length bytes at offset, fewer only at the end of the file.
  int ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const;
  // Writes every byte at offset.
  int WriteAt(std::uint64_t offset, const void* data, std::size_t length);
  int Truncate(std::uint64_t size);
  // Flushes the file's data to the disk.
  int Sync();

 private:
  NativeHandle handle_ = kNoHandle;
};

// 0 with the file's size, or the system error number when its status cannot be read.
int GetFileSize(const std::string& path, std::uint64_t& size);

// The description of a system error number ("No such file or directory").
std::string SystemErrorText(int systemError);

}  // namespace platform
