// Stands in for the command interpreter (through COMSPEC) or for the editor in
// tests, so that no test opens a real editor. It appends the command line it
// received, and a line feed, to the file named by STUB_LOG ("stub-log.txt" in
// the current folder when that is not set), then ends with the exit code in
// STUB_EXIT (0 when not set); with STUB_SIGNAL set it raises that signal
// instead. It never touches its standard streams, which it shares with the
// program under test.
//
// On Windows the log holds the raw command line, as the program composed it;
// elsewhere the words the program was started with, joined by blanks.

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

std::string receivedCommandLine([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  return GetCommandLineA();
#else
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  return line;
#endif
}

int numberFrom(const char* variable) {
  const char* text = std::getenv(variable);
  int value = 0;
  if (text != nullptr) std::from_chars(text, text + std::strlen(text), value);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const char* logName = std::getenv("STUB_LOG");
  std::FILE* log = std::fopen(logName != nullptr ? logName : "stub-log.txt", "ab");
  if (log == nullptr) return 125;
  const std::string line = receivedCommandLine(argc, argv) + '\n';
  const bool written = std::fwrite(line.data(), 1, line.size(), log) == line.size();
  if (std::fclose(log) != 0 || !written) return 125;
  if (const int signal = numberFrom("STUB_SIGNAL"); signal != 0) std::raise(signal);
  return numberFrom("STUB_EXIT");
}
