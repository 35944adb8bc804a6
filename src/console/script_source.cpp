#include "console/script_source.h"

#include "common/read_file.h"

namespace sorvell::console {

namespace {

bool ReadStream(std::istream& in, std::string& text, std::string& error) {
  std::string contents;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    contents.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (contents.size() > kMaxScriptBytes) {
      error = "the script on standard input is larger than " + std::to_string(kMaxScriptBytes) +
              " bytes";
      return false;
    }
  }
  if (in.bad()) {
    error = "the script on standard input could not be read";
    return false;
  }
  text = std::move(contents);
  return true;
}

}  // namespace

bool ReadScript(const std::string& name, std::istream& standardInput, std::string& text,
                std::string& error) {
  if (name == "-") return ReadStream(standardInput, text, error);
  if (!common::ReadRegularFile(name, kMaxScriptBytes, text, error, common::EmptyFile::kAccepted)) {
    const bool couldNot = error.starts_with("could not");
    error = "the script " + name + (couldNot ? " " : " is ") + error;
    return false;
  }
  return true;
}

}  // namespace sorvell::console
