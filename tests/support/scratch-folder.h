#pragma once
// A fresh, empty working folder for one test, removed again afterwards. Tests
// name their files relative to it, as the program's users do.

#include <filesystem>
#include <string>
#include <string_view>

namespace trovel::test {

// A new, empty folder under the system's temporary folder, removed with all it
// holds when this ends.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A temporary folder that is the working folder while it lives.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  std::filesystem::path previous_;
  TemporaryFolder folder_;
};

// Whole files as bytes, without any translation.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);
std::string readBytes(const std::filesystem::path& file);

}  // namespace trovel::test
