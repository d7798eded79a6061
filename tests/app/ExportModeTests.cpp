// `treetest --export FILE LIST`, run as a user runs it: no display, the
// window's refusals on standard error with status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int Status = -1;
  std::string Errors;
};

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs the program without a display: no X, no Wayland, no platform chosen.
Outcome Export(const std::string& file, const std::string& list) {
  const fs::path errors = fs::temp_directory_path() / ("export-err-" + std::to_string(::getpid()));
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                              Quoted(TREETEST_BINARY) + " --export " + Quoted(file) + " " +
                              Quoted(list) + " >/dev/null 2>" + Quoted(errors);
  const int raw = std::system(command.c_str());
  Outcome run;
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  run.Errors = text.str();
  fs::remove(errors);
  return run;
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class ExportModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("export-mode-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(ExportModeTest, WritesTheTreeThatGetTreeDraws) {
  const Outcome svg = Export((dir / "tree.svg").string(), "4, 2, 6, 1, 3, 5, 7");
  EXPECT_EQ(svg.Status, 0) << svg.Errors;
  const std::string text = Contents(dir / "tree.svg");
  EXPECT_EQ(Count(text, "<circle"), 7u);
  for (const char* caption : {">1<", ">4<", ">7<"}) EXPECT_EQ(Count(text, caption), 1u);

  const Outcome png = Export((dir / "TREE.PNG").string(), "5,3,8");
  EXPECT_EQ(png.Status, 0) << png.Errors;
  EXPECT_EQ(Contents(dir / "TREE.PNG").substr(1, 3), "PNG");
}

TEST_F(ExportModeTest, RefusalsAreTheWindowsAndWriteNothing) {
  struct Case {
    const char* Name;
    std::string File, List;
    int Status;
    std::string Error;
  } const cases[] = {
      {"not a number", "a.svg", "4,x,6", 2, "Please enter numbers only!\n"},
      {"trailing comma", "a.png", "7,", 2, "Please enter numbers only!\n"},
      {"above 16 bits", "a.svg", "32768", 2, "Please enter numbers only!\n"},
      {"empty list", "a.svg", "", 2, "Insert integer numbers in textbox separated by commas\n"},
      {"unknown ending", "a.gif", "1", 2, "treetest: the file name must end in .svg or .png\n"},
      {"missing folder, svg", "no/a.svg", "1", 1, "treetest: cannot create"},
      {"missing folder, png", "no/a.png", "1", 1, "treetest: cannot write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const Outcome run = Export((dir / c.File).string(), c.List);
    EXPECT_EQ(run.Status, c.Status);
    EXPECT_NE(run.Errors.find(c.Error), std::string::npos) << run.Errors;
    EXPECT_TRUE(fs::is_empty(dir));
  }
}

}  // namespace
