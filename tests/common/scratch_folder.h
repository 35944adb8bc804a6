#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace sorvell::common::testing {

// A fresh folder for one test, removed afterwards.
struct ScratchFolder {
  explicit ScratchFolder(const std::string& tag)
      : path(std::filesystem::temp_directory_path() /
             ("sorvell-" + tag + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code code;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, code);
    std::filesystem::remove_all(path, code);
  }
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
    return path / name;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  int Count() const {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(path), {}));
  }
  std::filesystem::path path;
};

}  // namespace sorvell::common::testing
