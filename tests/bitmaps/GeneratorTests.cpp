// The generator run by hand: it must repaint the committed files byte for byte
// (so they cannot drift from the program that made them) and fail plainly.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "BuildPaths.h"

#ifdef BRUME7_BITMAP_GENERATOR

namespace brume::bitmaps::testing {
namespace {

namespace fs = std::filesystem;

const std::string kGenerator = BRUME7_BITMAP_GENERATOR;
const std::string kBitmapDir = BRUME7_BITMAP_DIR;

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "brume7-bitmaps-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
  fs::path path;
};

int run(const std::string& arguments, const fs::path& errorFile) {
  const std::string command = "\"" + kGenerator + "\" " + arguments + " 2>\"" + errorFile.string() + "\"";
  return std::system(command.c_str());
}

std::vector<std::string> readLines(const fs::path& file) {
  std::ifstream stream(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(BitmapGenerator, RepaintsTheCommittedFilesByteForByte) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.path.empty());
  const fs::path output = scratch.path / "out";
  ASSERT_EQ(run("\"" + output.string() + "\"", scratch.path / "errors.txt"), 0)
      << (readLines(scratch.path / "errors.txt").empty() ? "" : readLines(scratch.path / "errors.txt")[0]);
  for (const char* name : {"101_background.bmp", "104_knob.bmp", "105_knob.bmp", "106_knob.bmp", "107_knob.bmp",
                           "109_switch.bmp", "110_voice_meter.bmp"}) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> committed = readFileBytes(kBitmapDir + "/" + name);
    const std::vector<std::uint8_t> painted = readFileBytes((output / name).string());
    ASSERT_FALSE(committed.empty()) << "no committed file";
    EXPECT_EQ(painted.size(), committed.size());
    std::size_t firstDifference = 0;
    while (firstDifference < std::min(painted.size(), committed.size()) &&
           painted[firstDifference] == committed[firstDifference])
      ++firstDifference;
    EXPECT_EQ(firstDifference, committed.size())
        << "first differing byte at offset " << firstDifference
        << "; after changing the generator, rebuild target brume7-regenerate-bitmaps";
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()), 7) << "exactly the seven bitmaps";
}

TEST(BitmapGenerator, FailsWithOneLineWhenTheOutputCannotBeWritten) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.path.empty());
  const fs::path blocker = scratch.path / "a-file";
  std::ofstream(blocker) << "not a folder";
  const fs::path errors = scratch.path / "errors.txt";
  EXPECT_NE(run("\"" + (blocker / "out").string() + "\"", errors), 0);
  const std::vector<std::string> lines = readLines(errors);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("brume7-bitmap-generator: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find((blocker / "out").string()), std::string::npos) << "names the folder: " << lines[0];
}

TEST(BitmapGenerator, FailsWithOneLineWhenTheFontIsMissing) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.path.empty());
  const fs::path errors = scratch.path / "errors.txt";
  const fs::path noFonts = scratch.path / "no-fonts";
  fs::create_directories(noFonts);
  EXPECT_NE(run("\"" + (scratch.path / "out").string() + "\" --font-dir \"" + noFonts.string() + "\"", errors), 0);
  const std::vector<std::string> lines = readLines(errors);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("brume7-bitmap-generator: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("LiberationSans"), std::string::npos) << "names the font: " << lines[0];
  EXPECT_FALSE(fs::exists(scratch.path / "out" / "101_background.bmp")) << "nothing written without the font";
}

TEST(BitmapGenerator, FailsWithUsageWithoutAnOutputFolder) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.path.empty());
  const fs::path errors = scratch.path / "errors.txt";
  EXPECT_NE(run("", errors), 0);
  const std::vector<std::string> lines = readLines(errors);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("usage"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace brume::bitmaps::testing

#endif
