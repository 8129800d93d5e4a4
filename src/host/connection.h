#pragma once
// File connections: the program reaches its files only through unit numbers.
// `Units` is the table of connections of one run; the value reader and the
// record writer work on a unit's `Connection` and its buffer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/failure.h"
#include "host/platform.h"

namespace trovel {

enum class ConnectionKind { DiskFile, Device };

struct Connection {
  int unit = 0;
  std::string fileName;  // the name after the name rules, as failure reports show it
  ConnectionKind kind = ConnectionKind::DiskFile;
  FileHandle input;        // reads come from here: the file, or standard input for CON
  FileHandle output;       // writes go here: the file, or standard output (CON) or error (ERR)
  bool ownsHandle = true;  // false for the standard streams, which are never closed
  Access access = Access::ReadWrite;  // what the first successful open attempt obtained

  // Reading: bytes [position, count) of the buffer are still unread.
  // Writing: bytes [0, count) wait to go to the file.
  std::vector<char> buffer;  // 1024 bytes for a disk file, 132 for a device
  std::size_t position = 0;
  std::size_t count = 0;
  std::uint64_t bufferStart = 0;  // the file position at which the buffer's content lies

  bool writing = false;             // set for a newly created file, else from the first write
  bool endOfFile = false;           // set by the reader when a read meets the end of the file
  bool lastByteWasLineFeed = true;  // kept by the reader: the last byte it delivered
};

class Units {
 public:
  static constexpr std::size_t kSlots = 61;

  // Registers closeAllUnits as the closing step of the run's exit path.
  Units(Platform& os, Failures& failures);
  ~Units();
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;

  Platform& os() { return os_; }
  Failures& failures() { return failures_; }

  // Connects `unit` to the file named by `nameText` (a fixed text of any
  // length), positioned at its start. A missing file is created empty.
  // Every failure ends the run.
  void openUnit(int unit, std::string_view nameText);
  // Writes out pending output, closes the file (it stays) and frees the slot.
  // A unit that is not connected is left alone.
  void closeUnit(int unit);
  // closeUnit for every connection, in slot order: the closing step at exit.
  void closeAllUnits();
  // The connection of a connected unit. Reading or writing an unconnected
  // unit is a fault of the program itself and aborts.
  Connection& connectionOf(int unit);
  bool isConnected(int unit) const;

  // For the reader: refills the buffer from the file with one read request.
  // The transfer's count is the number of bytes now in the buffer; a count of
  // 0 without an error is the end of the file.
  Transfer refill(Connection& connection);
  // For the writer: enters the writing state; a disk file is first cut at
  // the current position, so nothing of an old file survives after what is written.
  void beginWriting(Connection& connection);
  // Hands the buffer's bytes to the file and empties the buffer. A refusal
  // raises DiskFull or WriteRefused in the statement in progress.
  void writeOut(Connection& connection);
  // For the reader: leaves the writing state, writing out the buffer first.
  void endWriting(Connection& connection);

 private:
  // The name for a blank name text: the next unused command-line argument,
  // else an answer to the prompt on the console.
  std::string nameForBlank(int unit);
  std::string readAnswer();
  std::optional<char> nextInputByte(FileHandle input);
  void connect(int unit, const std::string& name, ConnectionKind kind, FileHandle input,
               FileHandle output, bool ownsHandle, Access access, bool created);
  std::unique_ptr<Connection>* slotOf(int unit);

  Platform& os_;
  Failures& failures_;
  std::array<std::unique_ptr<Connection>, kSlots> slots_;
  std::size_t argumentsUsed_ = 0;     // command-line arguments taken for blank names
  std::optional<char> pendingInput_;  // a byte of standard input read ahead after a CR
};

}  // namespace trovel
