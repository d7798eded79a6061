// `treetest --practice`: commands and answers on standard input, one line
// each, and one JSON object a line on standard output, written without blanks.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "PracticeChecker.h"

namespace Practice {

// An answer line: the answer, or "show"; or the reason it is malformed.
struct ParsedAnswer {
  bool Show = false;
  Answer Value;
  std::string Error;  // empty when well formed
};
ParsedAnswer ParseAnswer(std::string_view line, Level level);

// The event as `--trace` writes it, with an insert's parent and side, or
// balanced or missing.
std::string StepJson(const Step& step);
std::string ScoreJson(const Score& score);
// An answer line that names `answer` (members that are set only).
std::string AnswerJson(const Answer& answer);

class Protocol {
 public:
  explicit Protocol(std::ostream& out) : out_(out) {}
  // One input line, without its line break.
  void Line(std::string_view line);
  // The end of the input: an unfinished command runs to its end and its
  // score follows. Returns the exit status: 2 after a malformed line, else 0.
  int End();

 private:
  void Error(const std::string& text);
  void Command(CommandKind kind, std::string_view rest);
  void EndCommand();

  std::ostream& out_;
  long number_ = 0;
  int status_ = 0;
  Level level_ = Level::Place;
  TreeTrace::Engine engine_;
  TreeCore::TreeRec tree_;
  Checker checker_;
  bool open_ = false;  // a command whose score has not been written
};

int RunPracticeMode(std::istream& in, std::ostream& out);

// What a student did, as the protocol's lines, so that `--practice` grades
// it again ("Save Results…").
class Transcript {
 public:
  void Comment(std::string_view text);  // a "# ..." line
  void SetLevel(Level level);           // a "level N" line when it changes
  void Command(std::string_view line);  // "get LIST [from K]" or "erase LIST"
  void Add(const Answer& answer);
  void Show();
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  int level_ = 0;
};

}  // namespace Practice
