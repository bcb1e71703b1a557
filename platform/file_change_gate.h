#pragma once
// A gate that every operation of RandomAccessFile and RenameFile passes before
// it reaches the file system. None is set in the programs: everything goes
// through. Tests set one that closes for good at a chosen write, truncate,
// rename or sync, as a crash of the process would stop it there.

namespace platform {

enum class FileOperation {
  Open,
  Read,  // reading or sizing
  Write,
  Truncate,
  Rename,
  Sync,  // of a file or of a directory
};

class FileChangeGate {
 public:
  virtual ~FileChangeGate() = default;
  // False makes the operation fail with EIO before it has done anything.
  virtual bool Allow(FileOperation operation) = 0;
};

// nullptr removes the gate. The gate must outlive its use.
void SetFileChangeGate(FileChangeGate* gate);

// True when no gate is set or the gate lets the operation through.
bool FileOperationAllowed(FileOperation operation);

}  // namespace platform
