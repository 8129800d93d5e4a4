// A child for the tests of the launcher: it shows what it received. Standard
// output gets its current folder, each argument in brackets and the values of
// ECHO_VARIABLE and COMSPEC, a line each; standard error gets a copy of its
// standard input. It ends with the exit code in ECHO_EXIT (0 when not set).

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::string valueOf(const char* variable) {
  const char* value = std::getenv(variable);
  return std::string(variable) + (value != nullptr ? "=" + std::string(value) : " unset");
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Bytes as they are, without line-end translation.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  write(stdout, std::filesystem::current_path().string() + '\n');
  for (int i = 1; i < argc; ++i) write(stdout, '[' + std::string(argv[i]) + "]\n");
  write(stdout, valueOf("ECHO_VARIABLE") + '\n');
  write(stdout, valueOf("COMSPEC") + '\n');

  char buffer[4096];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    std::fwrite(buffer, 1, count, stderr);
  }

  const char* code = std::getenv("ECHO_EXIT");
  int exitCode = 0;
  if (code != nullptr) std::from_chars(code, code + std::strlen(code), exitCode);
  return exitCode;
}
