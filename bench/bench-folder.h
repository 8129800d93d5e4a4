#pragma once
// The benchmarks' inputs live in a fresh folder under the system's temporary
// folder, which is the working folder while they run and is removed after.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace trovel::bench {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trovel-bench.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~BenchFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Writes `bytes` to the file `name` in the working folder and returns the name.
inline std::string writeInput(std::string name, std::string_view bytes) {
  std::ofstream(name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return name;
}

}  // namespace trovel::bench
