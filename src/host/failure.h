#pragma once
// Run-time failure reports. A failure is never returned to a caller: the part
// that meets it raises it by kind, the report goes to standard error, the
// closing step runs and the process ends with status 1.

#include <functional>
#include <string>
#include <string_view>

#include "host/platform.h"

namespace trovel {

enum class FailureKind {
  NoMemory,
  NoMemoryForTextCopy,
  NoMemoryForCommandBuffer,
  FileNotFound,
  FileAccessDenied,
  FileAlreadyExists,
  InvalidFileName,
  TooManyOpenFiles,
  EndOfFile,
  ReadFailure,
  ReadAfterEndOfFile,
  InvalidNumber,
  NumberOverflow,
  ValueFormMismatch,
  ZeroRepeatCount,
  RepeatCountTwice,
  InvalidInteger,
  IntegerOverflow,
  RadixMarkTwice,
  InvalidRadix,
  DiskFull,
  WriteRefused,
  InvalidOperation,
  DivideByZero,
  ArithmeticOverflow,
  FunctionOverflow,
  FunctionTotalLoss,
};

// Whether a report names the file statement in progress, no statement, or MATH.
enum class StatementClass { File, Generic, Math };

enum class Statement { Open, Close, Read, Write };

struct FailureKindInfo {
  FailureKind kind;
  char letter;  // 'F' for file, memory and conversion failures, 'M' for math
  int number;
  StatementClass statementClass;
  std::string_view message;  // empty for the math kinds, whose text the caller composes
};

const FailureKindInfo& describe(FailureKind kind);

// The file statement in progress and the name of its file. It stays set after
// the statement ends, until the next one begins.
struct FailureContext {
  Statement statement = Statement::Open;
  std::string fileName;
};

// The bytes of one failure report: an empty line, "run-time error ", the
// number, the statement, the file name for a file statement, the message.
std::string composeReport(const FailureKindInfo& info, const FailureContext& context,
                          std::string_view message);

class Failures {
 public:
  explicit Failures(Platform& os) : os_(os) {}
  Failures(const Failures&) = delete;
  Failures& operator=(const Failures&) = delete;

  void beginStatement(Statement statement, std::string_view fileName);
  const FailureContext& context() const { return context_; }

  // The work of the process's normal exit path, run once by exitRun.
  void setClosingStep(std::function<void()> step) { closingStep_ = std::move(step); }

  // Reports a kind with its own message text, then exitRun(1).
  [[noreturn]] void raiseFailure(FailureKind kind);
  // Reports a math kind with the message text composed by the arithmetic.
  [[noreturn]] void raiseMathFailure(FailureKind kind, std::string_view message);

  // The process's normal exit path: the closing step, then the end of the
  // process with `status`. A failure raised inside the closing step stops it
  // and ends the process with the status the exit began with.
  [[noreturn]] void exitRun(int status);

 private:
  [[noreturn]] void report(const FailureKindInfo& info, std::string_view message);

  Platform& os_;
  FailureContext context_;
  std::function<void()> closingStep_;
  bool closing_ = false;
  int exitStatus_ = 0;
};

}  // namespace trovel
