#include "host/failure.h"

#include <array>
#include <cstdlib>

namespace trovel {
namespace {

using enum FailureKind;
using enum StatementClass;

constexpr std::array kKinds = {
    FailureKindInfo{NoMemory, 'F', 6700, Generic, "not enough memory for a file connection"},
    FailureKindInfo{NoMemoryForTextCopy, 'F', 6717, Generic, "not enough memory for a text copy"},
    FailureKindInfo{NoMemoryForCommandBuffer, 'F', 6772, Generic,
                    "not enough memory for a command line"},
    FailureKindInfo{FileNotFound, 'F', 6416, File, "file not found"},
    FailureKindInfo{FileAccessDenied, 'F', 6414, File, "permission to access file denied"},
    FailureKindInfo{FileAlreadyExists, 'F', 6415, File, "file already exists"},
    FailureKindInfo{InvalidFileName, 'F', 6412, File, "file name rejected by the system"},
    FailureKindInfo{TooManyOpenFiles, 'F', 6417, File, "too many open files"},
    FailureKindInfo{EndOfFile, 'F', 6501, File, "end of file reached"},
    FailureKindInfo{ReadFailure, 'F', 6500, File, "the system could not read the file"},
    FailureKindInfo{ReadAfterEndOfFile, 'F', 6405, File, "read after the end of the file"},
    FailureKindInfo{InvalidNumber, 'F', 6103, File, "value is not a valid number"},
    FailureKindInfo{NumberOverflow, 'F', 6102, File, "number too large"},
    FailureKindInfo{ValueFormMismatch, 'F', 6504, File,
                    "quoted or parenthesized value where a number is expected"},
    FailureKindInfo{ZeroRepeatCount, 'F', 6502, File, "repeat count zero or missing"},
    FailureKindInfo{RepeatCountTwice, 'F', 6503, File, "second repeat count in one value"},
    FailureKindInfo{InvalidInteger, 'F', 6101, File, "repeat count is not an integer"},
    FailureKindInfo{IntegerOverflow, 'F', 6100, File, "repeat count too large"},
    FailureKindInfo{RadixMarkTwice, 'F', 6302, File, "second radix mark in repeat count"},
    FailureKindInfo{InvalidRadix, 'F', 6303, File, "radix of repeat count outside 2 to 36"},
    FailureKindInfo{DiskFull, 'F', 6422, File, "disk full"},
    FailureKindInfo{WriteRefused, 'F', 6421, File, "permission to write to file denied"},
    FailureKindInfo{InvalidOperation, 'M', 6101, Math, ""},
    FailureKindInfo{DivideByZero, 'M', 6103, Math, ""},
    FailureKindInfo{ArithmeticOverflow, 'M', 6104, Math, ""},
    FailureKindInfo{FunctionOverflow, 'M', 6203, Math, ""},
    FailureKindInfo{FunctionTotalLoss, 'M', 6205, Math, ""},
};

constexpr std::array<std::string_view, 4> kStatementTexts = {": OPEN(", ": CLOSE(", ": READ(",
                                                             ": WRITE("};

}  // namespace

const FailureKindInfo& describe(FailureKind kind) {
  static_assert(kKinds.size() == static_cast<std::size_t>(FunctionTotalLoss) + 1);
  return kKinds[static_cast<std::size_t>(kind)];
}

std::string composeReport(const FailureKindInfo& info, const FailureContext& context,
                          std::string_view message) {
  std::string report = "\r\nrun-time error ";
  report += info.letter;
  report += std::to_string(info.number);
  switch (info.statementClass) {
    case File:
      report += kStatementTexts[static_cast<std::size_t>(context.statement)];
      report += context.fileName;
      report += message.empty() ? ")\r\n" : ")\r\n- ";
      break;
    case Generic:
      report += "\r\n- ";
      break;
    case Math:
      report += ": MATH\r\n- ";
      break;
  }
  report += message;
  report += "\r\n";
  return report;
}

void Failures::beginStatement(Statement statement, std::string_view fileName) {
  context_.statement = statement;
  context_.fileName.assign(fileName);
}

void Failures::raiseFailure(FailureKind kind) {
  const FailureKindInfo& info = describe(kind);
  report(info, info.message);
}

void Failures::raiseMathFailure(FailureKind kind, std::string_view message) {
  report(describe(kind), message);
}

void Failures::report(const FailureKindInfo& info, std::string_view message) {
  const std::string bytes = composeReport(info, context_, message);
  // A report that cannot be written is lost; the run ends all the same.
  (void)writeAll(os_, os_.standardHandle(StandardStream::Error), bytes);
  // A failure in the closing step of a run that was ending well must not end
  // with the status of success.
  if (closing_) exitStatus_ = 1;
  exitRun(1);
}

void Failures::exitRun(int status) {
  if (!closing_) {
    closing_ = true;
    exitStatus_ = status;
    if (closingStep_) closingStep_();
  }
  os_.exitProcess(exitStatus_);
  std::abort();  // not reached: a virtual call does not carry [[noreturn]] for the compiler
}

}  // namespace trovel
