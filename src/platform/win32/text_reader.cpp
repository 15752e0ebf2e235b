// The text-file reader: the whole file is read into memory at once, then
// parsed field by field with the game's one set of rules.
#include "platform/win32/text_reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"

namespace {
// The game's text files are a few kilobytes; anything near this is not one.
constexpr std::uintmax_t MaxTextFileBytes = 16u << 20;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

TTextReader::TTextReader(const std::string& FileName) : FileName_(FileName) {
  const std::string path = ResolvePath(FileName);
  // A folder or a device opens like a file; only regular files of a sane
  // size are text files of ours.
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    if (!std::filesystem::is_regular_file(path, ec)) throw EInOutError(FileName_, "\"" + path + "\" is not a file");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > MaxTextFileBytes) throw EInOutError(FileName_, "\"" + path + "\" is too large");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError(FileName_, std::string("cannot open \"") + path + "\": " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EInOutError(FileName_, "cannot read \"" + path + "\"");
  Text_ = text.str();
}

bool TTextReader::AtLineEnd() const { return Pos_ < Text_.size() && (Text_[Pos_] == '\n' || Text_[Pos_] == '\r'); }

void TTextReader::SkipLineEnd() {
  if (Pos_ >= Text_.size()) return;
  if (Text_[Pos_] == '\r' && Pos_ + 1 < Text_.size() && Text_[Pos_ + 1] == '\n') ++Pos_;
  ++Pos_;
  ++Line_;
}

void TTextReader::SkipBlanks() {
  while (Pos_ < Text_.size()) {
    const char c = Text_[Pos_];
    if (c == ' ' || c == '\t')
      ++Pos_;
    else if (c == '\n' || c == '\r')
      SkipLineEnd();
    else
      break;
  }
}

std::int64_t TTextReader::ReadInt() {
  SkipBlanks();
  FieldLine_ = Line_;
  if (Pos_ >= Text_.size()) Fail("the file ends where an integer was expected");
  std::size_t p = Pos_;
  if (Text_[p] == '+' || Text_[p] == '-') ++p;
  const std::size_t digits = p;
  while (p < Text_.size() && IsDigit(Text_[p])) ++p;
  if (p == digits) Fail("an integer was expected");

  std::int64_t value = 0;
  const char* first = Text_.data() + Pos_ + (Text_[Pos_] == '+' ? 1 : 0);
  const auto [end, ec] = std::from_chars(first, Text_.data() + p, value);
  if (ec != std::errc() || end != Text_.data() + p) Fail("the integer is out of range");
  Pos_ = p;
  NextLine();
  return value;
}

double TTextReader::ReadReal() {
  SkipBlanks();
  FieldLine_ = Line_;
  if (Pos_ >= Text_.size()) Fail("the file ends where a number was expected");
  // digits [. digits] [e [sign] digits], with at least one digit in the mantissa
  std::size_t p = Pos_;
  if (Text_[p] == '+' || Text_[p] == '-') ++p;
  std::size_t mantissa = 0;
  while (p < Text_.size() && IsDigit(Text_[p])) ++p, ++mantissa;
  if (p < Text_.size() && Text_[p] == '.') {
    ++p;
    while (p < Text_.size() && IsDigit(Text_[p])) ++p, ++mantissa;
  }
  if (mantissa == 0) Fail("a number was expected");
  if (p < Text_.size() && (Text_[p] == 'e' || Text_[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < Text_.size() && (Text_[q] == '+' || Text_[q] == '-')) ++q;
    const std::size_t expDigits = q;
    while (q < Text_.size() && IsDigit(Text_[q])) ++q;
    if (q > expDigits) p = q;  // "2e" is 2 followed by a comment
  }

  double value = 0;
  const char* first = Text_.data() + Pos_ + (Text_[Pos_] == '+' ? 1 : 0);
  const auto [end, ec] = std::from_chars(first, Text_.data() + p, value);
  if (ec != std::errc() || end != Text_.data() + p) Fail("the number is out of range");
  Pos_ = p;
  NextLine();
  return value;
}

char TTextReader::ReadChar() {
  FieldLine_ = Line_;
  if (Pos_ >= Text_.size()) Fail("the file ends where a character was expected");
  if (AtLineEnd()) return ' ';  // stays at the line end; NextLine moves on
  return Text_[Pos_++];
}

std::string TTextReader::ReadLine() {
  const std::size_t start = Pos_;
  while (Pos_ < Text_.size() && !AtLineEnd()) ++Pos_;
  std::string line = Text_.substr(start, Pos_ - start);
  SkipLineEnd();
  return line;
}

void TTextReader::NextLine() {
  while (Pos_ < Text_.size() && !AtLineEnd()) ++Pos_;
  SkipLineEnd();
}

bool TTextReader::AtEnd() const {
  for (std::size_t p = Pos_; p < Text_.size(); ++p) {
    const char c = Text_[p];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

void TTextReader::Fail(const std::string& Rule) const { throw EInOutError(FileName_, Line_, Rule); }

void TTextReader::FailField(const std::string& Rule) const {
  throw EInOutError(FileName_, FieldLine_ > 0 ? FieldLine_ : Line_, Rule);
}
