#include "support/child-process.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/child-process-system.h"

namespace trovel::test {
namespace {

// A fresh folder for the files of one child's standard streams, removed afterwards.
class StreamFolder {
 public:
  StreamFolder() {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
      path_ = std::filesystem::temp_directory_path() /
              ("trovel-child-" + std::to_string(stamp) + "-" + std::to_string(serial++));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~StreamFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  StreamFolder(const StreamFolder&) = delete;
  StreamFolder& operator=(const StreamFolder&) = delete;

  std::filesystem::path file(const char* name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string trovelPath() {
  return TROVEL_PROGRAM_PATH;
}

std::string stubInterpreterPath() {
  return TROVEL_STUB_INTERPRETER_PATH;
}

std::string echoChildPath() {
  return TROVEL_ECHO_CHILD_PATH;
}

EnvironmentOverride::EnvironmentOverride(const Environment& changes) {
  for (const auto& [name, value] : changes) {
    previous_.emplace_back(name, environmentValue(name));
    system::setEnvironmentValue(name, value);
  }
}

EnvironmentOverride::~EnvironmentOverride() {
  // In reverse, so that a variable named twice gets its first value back.
  for (auto change = previous_.rbegin(); change != previous_.rend(); ++change) {
    system::setEnvironmentValue(change->first, change->second);
  }
}

ChildResult runChild(const ChildProgram& child) {
  const StreamFolder folder;
  system::StreamFiles streams{std::nullopt, folder.file("output"), std::nullopt};
  if (!child.standardErrorClosed) streams.error = folder.file("error");
  if (child.standardInput) {
    streams.input = folder.file("input");
    writeFile(*streams.input, *child.standardInput);
  }
  ChildResult result;
  {
    const EnvironmentOverride environment(child.environment);
    const system::Ending ending = system::startAndWait(child, streams);
    result.exitCode = ending.exitCode;
    result.peakMemoryBytes = ending.peakMemoryBytes;
  }
  result.standardOutput = readFile(streams.output);
  if (streams.error) result.standardError = readFile(*streams.error);
  return result;
}

}  // namespace trovel::test
