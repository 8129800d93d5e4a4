#include "run/driver.h"

#include <algorithm>
#include <array>

#include "run/apogee.h"

namespace trovel {
namespace {

constexpr std::string_view kIndexCommand = "Notepad Trovel_1p1_dados.txt";
constexpr std::string_view kNotepad = "notepad ";

// "notepad " and all 50 characters of `name`, trailing blanks included: the
// command runner trims them. Held in place, so composing it needs no memory.
class NotepadCommand {
 public:
  explicit NotepadCommand(const FixedText<50>& name) {
    const auto end = std::copy(kNotepad.begin(), kNotepad.end(), text_.begin());
    std::copy(name.bytes.begin(), name.bytes.end(), end);
  }
  std::string_view view() const { return {text_.data(), text_.size()}; }

 private:
  std::array<char, kNotepad.size() + FixedText<50>::size()> text_{};
};

}  // namespace

void RunDriver::run() {
  const CheckedArithmetic math(failures_);

  pi_ = computePi();
  stages_.runCommand(kIndexCommand);
  caseFileName_ = stages_.readCaseFileName();
  stages_.runCommand(NotepadCommand(caseFileName_).view());
  stages_.loadCase(caseFileName_, case_);
  case_.beta = deriveBeta(math, case_.gama, case_.lambda);

  stages_.open(case_.caso);
  stages_.writeHeader(case_);

  estimates_.Hi1 = idealMethod1(math, case_.g, case_.tI);
  stages_.writeIdealMethod1(estimates_.Hi1);

  estimates_.Hi2 = idealMethod2(math, case_.g, case_.tH);
  stages_.writeIdealMethod2(estimates_.Hi2);

  estimates_.HA = methodA(math, pi_, case_.LO, case_.alfa);
  stages_.writeMethodA(estimates_.HA);

  const Triangulation b = methodB(math, pi_, case_.LO, case_.alfa, case_.LI, case_.beta);
  estimates_.HB = b.H;
  estimates_.x = b.x;
  estimates_.y = b.y;
  estimates_.OH2 = b.OH2;
  stages_.writeMethodB(estimates_.HB, estimates_.x, estimates_.y, estimates_.OH2);

  const Triangulation c =
      methodC(math, pi_, case_.LO, case_.alfa, case_.LI, case_.beta, case_.tH, case_.tI);
  estimates_.HC = c.H;
  estimates_.x = c.x;
  estimates_.y = c.y;
  estimates_.OH2 = c.OH2;
  stages_.writeMethodC(estimates_.HC, estimates_.x, estimates_.y, estimates_.OH2);

  stages_.writeDefinitions();
  stages_.close();
  stages_.runCommand(NotepadCommand(case_.caso).view());
  failures_.exitRun(0);
}

}  // namespace trovel
