// Arbitrary bytes as a case file, read as the run reads it. Every input must
// end in values, null values or one of the reader's failure reports with
// status 1; nothing else may escape. The same bytes are read twice: by
// loadCase into a CaseData whose padding and untouched beta carry canaries,
// and by the same ten reads into destinations of their own on the heap, where
// AddressSanitizer catches a write one byte beyond a text. The second pass
// hands the file out in small chunks, so both must agree whatever the
// system's read sizes.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz-check.h"
#include "host/connection.h"
#include "host/failure.h"
#include "input/case-files.h"
#include "input/value-reader.h"
#include "memory-platform.h"
#include "run/records.h"

namespace {

using namespace trovel;

constexpr std::string_view kCaseFile = "caso.txt";
constexpr int kUnit = 8;
constexpr unsigned char kCanary = 0xA5;

// The failures a read can raise on a file that opened well.
constexpr std::array kReadFailures = {
    FailureKind::EndOfFile,       FailureKind::ReadFailure,      FailureKind::ReadAfterEndOfFile,
    FailureKind::InvalidNumber,   FailureKind::NumberOverflow,   FailureKind::ValueFormMismatch,
    FailureKind::ZeroRepeatCount, FailureKind::RepeatCountTwice, FailureKind::InvalidInteger,
    FailureKind::IntegerOverflow, FailureKind::RadixMarkTwice,   FailureKind::InvalidRadix,
};

bool isReadFailureReport(const std::string& report) {
  for (const FailureKind kind : kReadFailures) {
    const FailureKindInfo& info = describe(kind);
    const FailureContext context{Statement::Read, std::string(kCaseFile)};
    if (report == composeReport(info, context, info.message)) return true;
  }
  return false;
}

FixedText<50> caseFileName() {
  FixedText<50> name;
  name.bytes.fill(' ');
  std::memcpy(name.bytes.data(), kCaseFile.data(), kCaseFile.size());
  return name;
}

// The fields of a case as bytes: two texts and eight reals, compared bit for bit.
struct Fields {
  std::array<char, 50> caso;
  std::array<std::uint64_t, 8> reals;
  std::array<char, 90> titulo;
  friend bool operator==(const Fields&, const Fields&) = default;
};

struct Outcome {
  std::optional<int> status;  // none when the reads returned
  std::string standardError;
  Fields fields;
};

// Checks what must hold for every input, whichever way it was read.
void checkOutcome(const Outcome& outcome, const fuzz::MemoryPlatform& os) {
  FUZZ_CHECK(os.openHandles() == 0, "the case file was left open");
  FUZZ_CHECK(!os.wroteToFile(), "reading wrote to the case file");
  FUZZ_CHECK(os.standardOutput.empty(), "standard output: %s", os.standardOutput.c_str());
  if (outcome.status) {
    FUZZ_CHECK(*outcome.status == 1, "exit status %d", *outcome.status);
    FUZZ_CHECK(isReadFailureReport(outcome.standardError), "report: %s",
               outcome.standardError.c_str());
  } else {
    FUZZ_CHECK(outcome.standardError.empty(), "report after a complete read: %s",
               outcome.standardError.c_str());
  }
}

template <typename Reads>
std::optional<int> exitStatusOf(Reads&& reads) {
  try {
    reads();
  } catch (const fuzz::ProcessExit& exit) {
    return exit.status;
  }
  return std::nullopt;
}

// The padding of CaseData after each text, where a text written too far would land first.
template <std::size_t Begin, std::size_t End>
bool canaryIntact(const CaseData& data) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&data);
  for (std::size_t i = Begin; i < End; ++i) {
    if (bytes[i] != kCanary) return false;
  }
  return true;
}

template <std::size_t Begin, std::size_t End>
void setCanary(CaseData& data) {
  std::memset(reinterpret_cast<unsigned char*>(&data) + Begin, kCanary, End - Begin);
}

constexpr std::size_t kCasoEnd = offsetof(CaseData, caso) + 50;
constexpr std::size_t kTituloEnd = offsetof(CaseData, titulo) + 90;
constexpr std::uint64_t kBetaCanary = 0x7FF4A5A5A5A5A5A5;  // a NaN no read can produce

Outcome readByLoadCase(std::string_view file) {
  fuzz::MemoryPlatform os(std::string(kCaseFile), file, 1024);
  CaseData data;
  setCanary<kCasoEnd, offsetof(CaseData, g)>(data);
  setCanary<kTituloEnd, offsetof(CaseData, beta)>(data);
  data.beta = std::bit_cast<double>(kBetaCanary);

  Outcome outcome;
  {
    Failures failures(os);
    Units units(os, failures);
    outcome.status = exitStatusOf([&] { loadCase(units, caseFileName(), data); });
    outcome.standardError = os.standardError;
  }
  FUZZ_CHECK((canaryIntact<kCasoEnd, offsetof(CaseData, g)>(data)), "caso written beyond 50");
  FUZZ_CHECK((canaryIntact<kTituloEnd, offsetof(CaseData, beta)>(data)),
             "titulo written beyond 90");
  FUZZ_CHECK(std::bit_cast<std::uint64_t>(data.beta) == kBetaCanary, "beta written");
  checkOutcome(outcome, os);

  outcome.fields.caso = data.caso.bytes;
  outcome.fields.titulo = data.titulo.bytes;
  const double CaseData::*reals[] = {&CaseData::g,    &CaseData::tH,    &CaseData::tI,
                                     &CaseData::LO,   &CaseData::alfa,  &CaseData::LI,
                                     &CaseData::gama, &CaseData::lambda};
  for (std::size_t i = 0; i < 8; ++i)
    outcome.fields.reals[i] = std::bit_cast<std::uint64_t>(data.*reals[i]);
  return outcome;
}

Outcome readIntoHeapDestinations(std::string_view file, std::size_t chunk) {
  fuzz::MemoryPlatform os(std::string(kCaseFile), file, chunk);
  // Each destination is an allocation of exactly its own size.
  const auto caso = std::make_unique<FixedText<50>>();
  const auto titulo = std::make_unique<FixedText<90>>();
  std::array<std::unique_ptr<double>, 8> reals;
  for (auto& real : reals) real = std::make_unique<double>(0.0);

  Outcome outcome;
  {
    Failures failures(os);
    Units units(os, failures);
    outcome.status = exitStatusOf([&] {
      units.openUnit(kUnit, caseFileName().view());
      readText(units, kUnit, *caso);
      for (auto& real : reals) readReal(units, kUnit, *real);
      readText(units, kUnit, *titulo);
      units.closeUnit(kUnit);
    });
    outcome.standardError = os.standardError;
  }
  checkOutcome(outcome, os);

  outcome.fields.caso = caso->bytes;
  outcome.fields.titulo = titulo->bytes;
  for (std::size_t i = 0; i < 8; ++i)
    outcome.fields.reals[i] = std::bit_cast<std::uint64_t>(*reals[i]);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const Outcome whole = readByLoadCase(file);
  // A chunk size of 1 to 13 bytes, chosen by the input so that a crash reproduces.
  const std::size_t chunk = 1 + size % 13;
  const Outcome chunked = readIntoHeapDestinations(file, chunk);
  FUZZ_CHECK(whole.status == chunked.status, "status differs with chunks of %zu bytes", chunk);
  FUZZ_CHECK(whole.standardError == chunked.standardError,
             "report differs with chunks of %zu bytes", chunk);
  FUZZ_CHECK(whole.fields == chunked.fields, "values differ with chunks of %zu bytes", chunk);
  return 0;
}
