// The editor drawn by BRM7.dll under Wine (GDI) against the editor drawn by
// the native build's `brume7-host snapshot` (software renderer): the two
// pictures of the freshly opened editor must be identical away from text.
// Caption and value-text boxes are left out, since glyphs depend on the font
// rasteriser. One case per Windows build tree of BRUME7_WINDOWS_BUILD_DIRS;
// a tree without BRM7.dll and editor_window_tests.exe is skipped.

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "instrument/ParameterCatalogue.h"
#include "BuildPaths.h"

namespace brume::testing {
namespace {

constexpr int kWidth = 650;
constexpr int kHeight = 200;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Runs a shell command; answers its exit status and keeps what it printed.
int run(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint32_t read32(const std::vector<std::uint8_t>& data, std::size_t at) {
  return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

// A 24-bit uncompressed .bmp, as editor_window_tests writes it.
Image readBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M' || data[28] != 24) return {};
  Image image;
  image.width = static_cast<int>(read32(data, 18));
  auto rawHeight = static_cast<std::int32_t>(read32(data, 22));
  bool bottomUp = rawHeight > 0;
  image.height = bottomUp ? rawHeight : -rawHeight;
  std::size_t offset = read32(data, 10);
  std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~static_cast<std::size_t>(3);
  if (data.size() < offset + stride * image.height) return {};
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    std::size_t row = offset + stride * static_cast<std::size_t>(bottomUp ? image.height - 1 - y : y);
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &data[row + static_cast<std::size_t>(x) * 3];
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = p[0] | p[1] << 8 | p[2] << 16;
    }
  }
  return image;
}

Image readPng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return {};
  png.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr)) return {};
  Image image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < image.pixels.size(); ++i)
    image.pixels[i] = static_cast<std::uint32_t>(bytes[3 * i]) << 16 | bytes[3 * i + 1] << 8 | bytes[3 * i + 2];
  return image;
}

// True where text may be drawn: the caption and value-text boxes of the layout, edges included.
std::vector<bool> textBoxes() {
  std::vector<bool> text(static_cast<std::size_t>(kWidth) * kHeight, false);
  auto mark = [&](int left, int top, int right, int bottom) {
    for (int y = std::max(top, 0); y <= std::min(bottom, kHeight - 1); ++y)
      for (int x = std::max(left, 0); x <= std::min(right, kWidth - 1); ++x)
        text[static_cast<std::size_t>(y) * kWidth + x] = true;
  };
  for (const ParameterLayoutRow& row : ParameterLayout) {
    if (row.hasCaption) mark(row.x - 21, row.y - 20, row.x + 21, row.y - 10);
    if (row.hasValueText) mark(row.x - 21, row.y + 11, row.x + 21, row.y + 20);
  }
  return text;
}

std::vector<std::string> windowsBuildTrees() {
  std::vector<std::string> trees;
  std::stringstream list(BRUME7_WINDOWS_BUILD_DIRS);
  std::string tree;
  while (std::getline(list, tree, '|'))
    if (!tree.empty()) trees.push_back(tree);
  return trees;
}

// "build-win32" of "/work/main/build-win32", as a test name may spell it.
std::string treeName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(info.param.find_last_of('/') + 1);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class EditorSnapshotComparison : public ::testing::TestWithParam<std::string> {};

TEST_P(EditorSnapshotComparison, WindowsAndNativeEditorsAreIdenticalAwayFromText) {
  const std::string windowsBuild = GetParam();
  const std::string dll = windowsBuild + "/BRM7.dll";
  const std::string program = windowsBuild + "/tests/win32/editor_window_tests.exe";
  if (!exists(dll) || !exists(program))
    GTEST_SKIP() << "no Windows build with BRM7.dll and tests/win32/editor_window_tests.exe in " << windowsBuild;
  std::string output;
  if (run(quoted(BRUME7_HOST_TOOL) + " snapshot --help", output) != 0)
    GTEST_SKIP() << "brume7-host has no snapshot command: " << output;

  char folderTemplate[] = "/tmp/brume7-editor-snapshots-XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  const std::string folder = folderTemplate;
  const std::string windowsPicture = folder + "/windows.bmp";
  const std::string nativePicture = folder + "/native.png";

  // Wine reaches the Linux file system through drive Z:.
  ASSERT_EQ(run(quoted(BRUME7_RUN_UNDER_WINE) + " " + quoted(program) +
                    " --gtest_filter=EditorWindowTest.Snapshot* --plugin " + quoted("Z:" + dll) + " --snapshot " +
                    quoted("Z:" + windowsPicture),
                output),
            0)
      << output;
  ASSERT_EQ(run(quoted(BRUME7_HOST_TOOL) + " snapshot --out " + quoted(nativePicture), output), 0) << output;

  const Image windows = readBmp(windowsPicture);
  const Image native = readPng(nativePicture);
  ASSERT_EQ(windows.width, kWidth) << "unreadable or wrong size: " << windowsPicture;
  ASSERT_EQ(windows.height, kHeight);
  ASSERT_EQ(native.width, kWidth) << "unreadable or wrong size: " << nativePicture;
  ASSERT_EQ(native.height, kHeight);

  const std::vector<bool> text = textBoxes();
  int compared = 0;
  int differing = 0;
  std::ostringstream first;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (text[static_cast<std::size_t>(y) * kWidth + x]) continue;
      ++compared;
      if (windows.at(x, y) == native.at(x, y)) continue;
      if (differing++ == 0)
        first << "first at " << x << "," << y << ": Windows " << std::hex << windows.at(x, y) << ", native "
              << native.at(x, y);
    }
  EXPECT_GT(compared, kWidth * kHeight / 2) << "the text boxes cover most of the editor";
  EXPECT_EQ(differing, 0) << differing << " pixels differ, " << first.str() << "; pictures kept in " << folder;
  if (differing == 0) {
    std::remove(windowsPicture.c_str());
    std::remove(nativePicture.c_str());
    rmdir(folder.c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(WindowsBuild, EditorSnapshotComparison, ::testing::ValuesIn(windowsBuildTrees()), treeName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EditorSnapshotComparison);

}  // namespace
}  // namespace brume::testing
