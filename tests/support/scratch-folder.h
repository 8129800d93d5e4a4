#pragma once
// A fresh, empty working folder for one test, removed again afterwards. Tests
// name their files relative to it, as the program's users do.

#include <filesystem>
#include <string>
#include <string_view>

namespace trovel::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Whole files as bytes, without any translation.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);
std::string readBytes(const std::filesystem::path& file);

}  // namespace trovel::test
