#include "PracticeProtocol.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <map>

#include "TraceJson.h"

namespace Practice {

namespace {

using TreeCore::ChainKind;

std::string N(long long v) {
  return std::to_string(v);
}

// A member's value: a string or a whole number.
struct JsonValue {
  bool IsString = false;
  std::string Text;
  long long Number = 0;
};

// A flat JSON object of strings and whole numbers; anything else is an error.
class ObjectReader {
 public:
  explicit ObjectReader(std::string_view text) : s_(text) {}

  std::string Read(std::map<std::string, JsonValue>& members) {
    Blanks();
    if (!Eat('{')) return "an answer is a JSON object";
    Blanks();
    if (Eat('}')) return End();
    for (;;) {
      Blanks();
      std::string name;
      if (Peek() != '"' || !String(name)) return "a member's name must be a string";
      Blanks();
      if (!Eat(':')) return "':' expected after \"" + name + "\"";
      Blanks();
      JsonValue value;
      if (Peek() == '"') {
        value.IsString = true;
        if (!String(value.Text)) return "unfinished string";
      } else if (!Whole(value.Number)) {
        return "\"" + name + "\" must be a string or a whole number";
      }
      if (!members.emplace(name, value).second) return "\"" + name + "\" given twice";
      Blanks();
      if (Eat('}')) return End();
      if (!Eat(',')) return "',' or '}' expected";
    }
  }

 private:
  char Peek() const { return at_ < s_.size() ? s_[at_] : '\0'; }
  bool Eat(char c) {
    if (Peek() != c || at_ >= s_.size()) return false;
    ++at_;
    return true;
  }
  void Blanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t')) ++at_;
  }
  std::string End() {
    Blanks();
    return at_ == s_.size() ? std::string() : "text after the object";
  }
  bool String(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const char c = s_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= s_.size()) return false;
      const char e = s_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u':
          // No member's word needs one; kept only so the string stays whole.
          for (int k = 0; k < 4; ++k)
            if (at_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[at_++])))
              return false;
          out += '?';
          break;
        default:
          return false;
      }
    }
    return false;
  }
  // JSON's integer form: -?(0|[1-9][0-9]*), no fraction or exponent.
  bool Whole(long long& out) {
    const std::size_t begin = at_;
    if (Peek() == '-') ++at_;
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return false;
    if (Peek() == '0' && at_ + 1 < s_.size() &&
        std::isdigit(static_cast<unsigned char>(s_[at_ + 1])))
      return false;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++at_;
    if (Peek() == '.' || Peek() == 'e' || Peek() == 'E') return false;
    const auto [end, ec] = std::from_chars(s_.data() + begin, s_.data() + at_, out);
    return ec == std::errc() && end == s_.data() + at_;
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

std::optional<StepKind> EventWord(const std::string& w, bool& show) {
  show = w == "show";
  if (show) return StepKind::Balanced;
  if (w == "insert") return StepKind::Insert;
  if (w == "rotate") return StepKind::Rotate;
  if (w == "fixup") return StepKind::FixUp;
  if (w == "erase") return StepKind::Erase;
  if (w == "balanced") return StepKind::Balanced;
  if (w == "missing") return StepKind::Missing;
  return std::nullopt;
}

std::string_view Trim(std::string_view t) {
  const auto first = t.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return t.substr(first, t.find_last_not_of(" \t") - first + 1);
}

bool Blank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

ParsedAnswer ParseAnswer(std::string_view line, Level level) {
  ParsedAnswer p;
  std::map<std::string, JsonValue> members;
  p.Error = ObjectReader(line).Read(members);
  if (!p.Error.empty()) return p;
  Answer& a = p.Value;
  const auto word = [&](const char* name) -> const JsonValue* {
    const auto it = members.find(name);
    return it == members.end() ? nullptr : &it->second;
  };
  for (const auto& [name, value] : members) {
    if (name == "event" || name == "kind" || name == "side") {
      if (!value.IsString) return p.Error = "\"" + name + "\" must be a string", p;
    } else if (name == "node" || name == "parent" || name == "value") {
      if (value.IsString) return p.Error = "\"" + name + "\" must be a whole number", p;
      const bool small = name == "value";
      const long long low = small ? std::numeric_limits<std::int16_t>::min()
                                  : std::numeric_limits<std::int32_t>::min();
      const long long high = small ? std::numeric_limits<std::int16_t>::max()
                                   : std::numeric_limits<std::int32_t>::max();
      if (value.Number < low || value.Number > high)
        return p.Error = "\"" + name + "\" is out of range", p;
    } else {
      return p.Error = "unknown member \"" + name + "\"", p;
    }
  }
  const JsonValue* event = word("event");
  if (event == nullptr) return p.Error = "\"event\" is missing", p;
  const auto kind = EventWord(event->Text, p.Show);
  if (!kind) return p.Error = "unknown event \"" + event->Text + "\"", p;
  a.Kind = *kind;
  if (const JsonValue* k = word("kind")) {
    static constexpr ChainKind kinds[] = {ChainKind::RR, ChainKind::RL, ChainKind::LL,
                                          ChainKind::LR};
    for (const ChainKind c : kinds)
      if (k->Text == TreeCore::ChainKindText(c)) a.Chain = c;
    if (!a.Chain) return p.Error = "\"kind\" is RR, RL, LL or LR", p;
  }
  if (const JsonValue* s = word("side")) {
    if (s->Text != "left" && s->Text != "right") return p.Error = "\"side\" is left or right", p;
    a.Right = s->Text == "right";
  }
  if (const JsonValue* v = word("node")) a.Node = static_cast<std::int32_t>(v->Number);
  if (const JsonValue* v = word("parent")) a.Parent = static_cast<std::int32_t>(v->Number);
  if (const JsonValue* v = word("value")) a.Value = static_cast<std::int16_t>(v->Number);
  if (p.Show) return p;
  // What the level asks for must be there; what it does not ask is dropped.
  const auto need = [&](bool present, const char* member) {
    if (!present && p.Error.empty())
      p.Error = "a " + event->Text + " answer needs \"" + member + "\" at level " +
                N(static_cast<int>(level));
  };
  if (a.Kind != StepKind::Rotate) a.Chain.reset();
  if (a.Kind == StepKind::Rotate) need(a.Chain.has_value(), "kind");
  if (a.Kind == StepKind::FixUp) need(a.Right.has_value(), "side");
  const bool nodeAsked =
      level >= Level::Node &&
      (a.Kind == StepKind::Rotate || a.Kind == StepKind::FixUp || a.Kind == StepKind::Erase);
  if (nodeAsked) need(a.Node.has_value(), "node");
  if (!nodeAsked) a.Node.reset();
  if (a.Kind == StepKind::Insert && level >= Level::Place) {
    need(a.Parent.has_value(), "parent");
    if (a.Parent && *a.Parent != -1) need(a.Right.has_value(), "side");
  } else {
    a.Parent.reset();
    if (a.Kind != StepKind::FixUp) a.Right.reset();
  }
  return p;
}

std::string StepJson(const Step& s) {
  std::string line;
  switch (s.Kind) {
    case StepKind::Insert:
      line = "{\"event\":\"insert\",\"value\":" + N(s.Value) + ",\"node\":" + N(s.Node) +
             ",\"parent\":" + N(s.Parent);
      if (s.Parent != -1) line += std::string(",\"side\":\"") + (s.Right ? "right" : "left") + "\"";
      return line + "}";
    case StepKind::Rotate:
      return std::string("{\"event\":\"rotate\",\"kind\":\"") + TreeCore::ChainKindText(s.Chain) +
             "\",\"node\":" + N(s.Node) + ",\"value\":" + N(s.Value) + "}";
    case StepKind::FixUp:
      return std::string("{\"event\":\"fixup\",\"side\":\"") + (s.Right ? "right" : "left") +
             "\",\"node\":" + N(s.Node) + ",\"value\":" + N(s.Value) + "}";
    case StepKind::Erase:
      return "{\"event\":\"erase\",\"value\":" + N(s.Value) + ",\"node\":" + N(s.Node) + "}";
    case StepKind::Balanced:
      return "{\"event\":\"balanced\"}";
    case StepKind::Missing:
      return "{\"event\":\"missing\",\"value\":" + N(s.Value) +
             ",\"message\":" + TreeTrace::JsonString(s.Message) + "}";
  }
  return {};
}

std::string AnswerJson(const Answer& a) {
  static constexpr const char* words[] = {"insert", "rotate",   "fixup",
                                          "erase",  "balanced", "missing"};
  std::string line = std::string("{\"event\":\"") + words[static_cast<int>(a.Kind)] + "\"";
  if (a.Chain) line += std::string(",\"kind\":\"") + TreeCore::ChainKindText(*a.Chain) + "\"";
  if (a.Right) line += std::string(",\"side\":\"") + (*a.Right ? "right" : "left") + "\"";
  if (a.Node) line += ",\"node\":" + N(*a.Node);
  if (a.Parent) line += ",\"parent\":" + N(*a.Parent);
  if (a.Value) line += ",\"value\":" + N(*a.Value);
  return line + "}";
}

std::string ScoreJson(const Score& s) {
  return "{\"event\":\"score\",\"steps\":" + N(static_cast<long long>(s.Steps)) +
         ",\"first_try\":" + N(static_cast<long long>(s.FirstTry)) +
         ",\"tries\":" + N(static_cast<long long>(s.Tries)) +
         ",\"shown\":" + N(static_cast<long long>(s.Shown)) +
         ",\"hints\":" + N(static_cast<long long>(s.Hints)) +
         ",\"unanswered\":" + N(static_cast<long long>(s.Unanswered)) + "}";
}

void Protocol::Error(const std::string& text) {
  out_ << "{\"ok\":false,\"error\":" << TreeTrace::JsonString("line " + N(number_) + ": " + text)
       << "}\n";
  status_ = 2;
}

void Protocol::EndCommand() {
  if (!open_) return;
  out_ << ScoreJson(checker_.Finish()) << '\n';
  open_ = false;
}

void Protocol::Command(CommandKind kind, std::string_view rest) {
  // "from K" is taken off the end before the list is read.
  std::size_t from = 0;
  std::string_view list = rest;
  {
    const std::string_view t = Trim(rest);
    const std::size_t cut = t.find_last_of(" \t");
    const std::string_view last = cut == std::string_view::npos ? t : t.substr(cut + 1);
    std::string_view before = cut == std::string_view::npos ? std::string_view() : t.substr(0, cut);
    while (!before.empty() && Blank(before.back())) before.remove_suffix(1);
    const bool fromLast = last == "from";
    const bool fromBefore = before.size() >= 4 && before.substr(before.size() - 4) == "from" &&
                            (before.size() == 4 || Blank(before[before.size() - 5]));
    if (fromLast || fromBefore) {
      std::uint64_t k = 0;
      const auto [end, ec] = std::from_chars(last.data(), last.data() + last.size(), k);
      const bool digits =
          !fromLast && ec != std::errc::invalid_argument && end == last.data() + last.size();
      if (!digits || (ec == std::errc() && k < 1)) {
        Error("\"from\" takes a whole number from 1");
        return;
      }
      // Larger than any list: past its end.
      from = ec == std::errc::result_out_of_range || k > std::numeric_limits<std::size_t>::max()
                 ? std::numeric_limits<std::size_t>::max()
                 : static_cast<std::size_t>(k - 1);
      list = before.substr(0, before.size() - 4);
    }
  }
  EndCommand();
  const std::string refusal = checker_.Begin(kind, list, from, engine_, tree_);
  if (!refusal.empty()) {
    out_ << "{\"ok\":false,\"message\":" << TreeTrace::JsonString(refusal) << "}\n";
    return;
  }
  open_ = true;
  if (!checker_.Active()) EndCommand();
}

void Protocol::Line(std::string_view line) {
  ++number_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return;
  line.remove_prefix(first);
  if (line.front() == '#') return;
  if (line.front() == '{') {
    const ParsedAnswer parsed = ParseAnswer(line, level_);
    if (!parsed.Error.empty()) return Error(parsed.Error);
    if (!checker_.Active()) return Error("no command in progress");
    if (parsed.Show) {
      out_ << "{\"ok\":true,\"shown\":true,\"event\":" << StepJson(checker_.Show().Expected)
           << "}\n";
    } else {
      const Verdict v = checker_.Check(parsed.Value, level_);
      if (v.Right)
        out_ << "{\"ok\":true,\"event\":" << StepJson(v.Expected) << "}\n";
      else
        out_ << "{\"ok\":false,\"expected\":" << StepJson(v.Expected)
             << ",\"why\":" << TreeTrace::JsonString(v.Why) << "}\n";
    }
    if (!checker_.Active()) EndCommand();
    return;
  }
  const std::size_t blank = line.find_first_of(" \t");
  const std::string_view word = line.substr(0, blank);
  const std::string_view rest =
      blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  if (word == "get") return Command(CommandKind::Get, rest);
  if (word == "erase") return Command(CommandKind::Erase, rest);
  if (word == "level") {
    const std::string_view n = Trim(rest);
    if (n != "1" && n != "2" && n != "3") return Error("\"level\" is 1, 2 or 3");
    level_ = static_cast<Level>(n[0] - '0');
    return;
  }
  Error("unknown line \"" + std::string(word.substr(0, 40)) +
        "\" (expected level, get, erase or an answer)");
}

int Protocol::End() {
  EndCommand();
  out_.flush();
  return status_;
}

int RunPracticeMode(std::istream& in, std::ostream& out) {
  Protocol protocol(out);
  std::string line;
  while (std::getline(in, line)) {
    protocol.Line(line);
    out.flush();
  }
  return protocol.End();
}

void Transcript::Comment(std::string_view text) {
  // A line break in the text would start a line the grader reads.
  std::string line(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  text_ += "# " + line + "\n";
}

void Transcript::SetLevel(Level level) {
  if (level_ == static_cast<int>(level)) return;
  level_ = static_cast<int>(level);
  text_ += "level " + N(level_) + "\n";
}

void Transcript::Command(std::string_view line) {
  text_.append(line).append("\n");
}

void Transcript::Add(const Answer& answer) {
  text_ += AnswerJson(answer) + "\n";
}

void Transcript::Show() {
  text_ += "{\"event\":\"show\"}\n";
}

}  // namespace Practice
