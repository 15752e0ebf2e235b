// The one error type for file and registry failures: it names the file and,
// for text files, the line (1-based; 0 when no line applies).
#pragma once

#include <stdexcept>
#include <string>

class EInOutError : public std::runtime_error {
 public:
  EInOutError(std::string fileName, int line, const std::string& message)
      : std::runtime_error(Compose(fileName, line, message)), FileName(std::move(fileName)), Line(line) {}
  EInOutError(std::string fileName, const std::string& message) : EInOutError(std::move(fileName), 0, message) {}

  std::string FileName;
  int Line;

 private:
  static std::string Compose(const std::string& file, int line, const std::string& message) {
    std::string s = "\"" + file + "\"";
    if (line > 0) s += ", line " + std::to_string(line);
    return s + ": " + message;
  }
};
