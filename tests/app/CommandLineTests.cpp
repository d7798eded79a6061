// The command line: its parse, then the program run with no display at all.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "CommandLine.h"

namespace {

namespace fs = std::filesystem;
using TreeApp::Mode;

TEST(CommandLine, ModesOperandsQtOptionsAndUsageErrors) {
  struct Case {
    QByteArrayList args;
    std::string error;  // empty: the arguments parse to the fields below
    Mode mode = Mode::Window;
    QByteArrayList operands = {};
    bool namesDisplay = false;
  } const cases[] = {
      {{"-platform", "x", "--export", "t.svg", "-5"}, "", Mode::Export, {"t.svg", "-5"}, true},
      {{"-platform=offscreen", "-style", "Fusion", "-reverse"}, "", Mode::Window, {}, true},
      {{"-display", ":1"}, "", Mode::Window, {}, true},
      {{"--export", "a.svg", "1", "-v", "--trace"}, "", Mode::Version},
      {{"--trace", "--export", "a", "1"}, "treetest: --export and --trace cannot be used together"},
      {{"--", "--trace"}, "treetest: unexpected argument '--trace'"},
      // "--" ends the options, wherever it stands among the operands.
      {{"--export", "t.png", "--", "-5,3"}, "", Mode::Export, {"t.png", "-5,3"}},
      {{"--export", "--", "-t.svg", "-5"}, "", Mode::Export, {"-t.svg", "-5"}},
      {{"--export", "t.png", "--fit", "9", "--", "--fit"}, "", Mode::Export, {"t.png", "--fit"}},
      {{"--export", "t.png", "--", "1", "2"},
       "Usage: treetest --export FILE.svg|FILE.png LIST   (LIST - reads standard input)"},
      {{"--compare"}, "", Mode::Compare},
      {{"--trace", "--compare"}, "treetest: --trace and --compare cannot be used together"},
      {{"--practice"}, "", Mode::Practice},
      {{"--exercise-sheet", "s.pdf", "--count", "2", "--seed", "4"},
       "",
       Mode::ExerciseSheet,
       {"s.pdf"}},
      {{"--practice", "--seed", "3"}, "treetest: --seed is an option of --exercise-sheet"},
      {{"--experiment", "--seed", "-1", "--lists"}, "", Mode::Experiment},
      {{"--sizes", "3"}, "treetest: --sizes is an option of --experiment"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const auto parsed = TreeApp::ParseCommandLine(QByteArrayList{"treetest"} + c.args);
    const auto* error = std::get_if<TreeApp::UsageError>(&parsed);
    EXPECT_EQ(error ? error->message.toStdString() : "", c.error);
    if (error) continue;
    const auto& command = std::get<TreeApp::Command>(parsed);
    EXPECT_TRUE(std::tie(command.mode, command.operands, command.namesDisplay) ==
                std::tie(c.mode, c.operands, c.namesDisplay));
  }
}

std::string Read(const fs::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), {}};
}

const fs::path Dir = fs::temp_directory_path() / ("cli-" + std::to_string(::getpid()));
// Runs the program in Dir with no X, no Wayland, no platform chosen and no
// XDG_RUNTIME_DIR (as under cron or ssh).
std::tuple<int, std::string, std::string> Treetest(const std::string& args, int seconds = 60) {
  const std::string command =
      "cd '" + Dir.string() +
      "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR timeout " +
      std::to_string(seconds) + " " TREETEST_BINARY " " + args + " >out 2>err </dev/null";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(Dir / "out"), Read(Dir / "err")};
}

TEST(Treetest, AnswersWithoutADisplay) {
  fs::create_directories(Dir);
  struct Case {
    std::string args;
    int status;
    std::vector<std::string> out, err;
    long errLines;
  } const cases[] = {
      {"--help", 0, {"--export FILE.svg|FILE.png LIST", "--trace", "Exit status"}, {}, 0},
      {"-platform offscreen --help", 0, {"--export", "--trace", "--compare"}, {}, 0},
      {"--version", 0, {"treetest 1.0\n"}, {}, 0},
      {"--bogus", 2, {}, {"Unknown option 'bogus'", "--export FILE", "--trace"}, -1},
      {"", 2, {}, {"xvfb-run treetest"}, 1},
      {"--export t.svg -5,3", 0, {}, {}, 0},
      // A picture made through Qt's offscreen platform: still not a word on stderr.
      {"--export t.png -- -5,3", 0, {}, {}, 0},
      {"--export t.svg 1 2", 2, {}, {"Usage: treetest --export FILE.svg|FILE.png LIST"}, 1},
      {"--exercise-sheet s.pdf --seed 9 --count 2", 0, {}, {}, 0},
      {"--exercise-sheet n.pdf", 2, {}, {"needs --seed S"}, -1},
      {"--exercise-sheet n.pdf --seed 1 --count 101", 2, {}, {"--count takes a number"}, -1},
      {"--practice", 0, {}, {}, 0},
      {"--experiment --kinds zigzag --sizes 3",
       0,
       {"kind,size,repeat,tree,levels,RR,RL,LL,LR,fixups,ms\nzigzag,3,1,scheme,2,0,0,0,0,1,"},
       {},
       0},
      {"--experiment --kinds zigzag --sizes 7 --repeat 4 --lists",
       0,
       {"zigzag,7,1:1,7,2,6,3,5,4\n"},
       {},
       0},
      {"--experiment --kinds sorted", 2, {}, {"--kinds takes", "Usage: treetest"}, -1},
      {"--experiment --sizes 32768", 2, {}, {"--sizes takes", "Usage: treetest"}, -1},
      {"--experiment --repeat 0", 2, {}, {"--repeat takes", "Usage: treetest"}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const auto [status, out, err] = Treetest(c.args);
    EXPECT_EQ(status, c.status) << err;
    for (const auto& s : c.out) EXPECT_NE(out.find(s), std::string::npos) << out;
    for (const auto& s : c.err) EXPECT_NE(err.find(s), std::string::npos) << err;
    EXPECT_TRUE(c.errLines < 0 || std::count(err.begin(), err.end(), '\n') == c.errLines) << err;
  }
  EXPECT_NE(Read(Dir / "t.svg").find(">-5<"), std::string::npos) << "the list lost its sign";
  // Two exercises and their two key pages; nothing written when refused.
  const std::string sheet = Read(Dir / "s.pdf");
  EXPECT_EQ(sheet.rfind("%PDF", 0), 0u);
  std::size_t pages = 0;
  for (auto at = sheet.find("/Type /Page\n"); at != std::string::npos;
       at = sheet.find("/Type /Page\n", at + 1))
    ++pages;
  EXPECT_EQ(pages, 4u);
  EXPECT_FALSE(fs::exists(Dir / "n.pdf"));
  // Qt's options reach the window: still running when stopped, neither refused nor aborted.
  EXPECT_EQ(std::get<0>(Treetest("-platform offscreen -style Fusion -reverse", 3)), 124);
  fs::remove_all(Dir);
}

// `man -l data/treetest.1` reads the page as it stands in the sources.
TEST(ManualPage, NamesTheProgramsVersionAsItStands) {
  std::string title;
  std::ifstream page(TREETEST_MAN_PAGE);
  for (std::string line; std::getline(page, line);)
    if (line.rfind(".TH ", 0) == 0) title = line;
  EXPECT_NE(title.find('"' + TreeApp::VersionText().toStdString() + '"'), std::string::npos)
      << title;
}

}  // namespace
