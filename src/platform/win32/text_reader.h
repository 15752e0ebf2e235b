// The reader shared by every text file of the game (levels, bonus figures,
// saved games, the menu, font metrics), with one set of field rules:
// - a number skips blanks, tabs and line ends before it, then the rest of its
//   line is skipped (one number per line);
// - flag and grid characters are read as they stand, one at a time, and the
//   caller ends the line with NextLine;
// - reading past the end, or a non-number where a number belongs, raises
//   EInOutError naming the file and the line.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

class TTextReader {
 public:
  // Reads the whole file (FileName is resolved with ResolvePath); a missing
  // or unreadable file raises EInOutError naming it.
  explicit TTextReader(const std::string& FileName);
  // Reads Text as the content of FileName (a file's bytes kept elsewhere).
  TTextReader(const std::string& FileName, std::string Text) : FileName_(FileName), Text_(std::move(Text)) {}

  std::int64_t ReadInt();   // then skips the rest of the line
  double ReadReal();        // then skips the rest of the line
  char ReadChar();          // one character as it stands; a line end reads as ' '
  std::string ReadLine();   // the rest of the current line, then moves past it
  void NextLine();          // skip the rest of the current line
  bool AtEnd() const;       // nothing but blanks and line ends remain

  int Line() const { return Line_; }  // 1-based line of the read position
  // Line of the last number or character read, for range errors found by
  // the caller after the reader has moved on.
  int FieldLine() const { return FieldLine_; }
  const std::string& FileName() const { return FileName_; }
  const std::string& Text() const { return Text_; }  // the whole content
  // Raises EInOutError naming file, current line and the rule broken.
  [[noreturn]] void Fail(const std::string& Rule) const;
  // The same, naming the line of the last field read.
  [[noreturn]] void FailField(const std::string& Rule) const;

 private:
  std::string FileName_;
  std::string Text_;
  std::size_t Pos_ = 0;
  int Line_ = 1;
  int FieldLine_ = 0;

  bool AtLineEnd() const;
  void SkipLineEnd();  // past one CR LF, LF or CR
  void SkipBlanks();   // blanks, tabs and line ends
};
