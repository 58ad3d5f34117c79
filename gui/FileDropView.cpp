#include "gui/FileDropView.h"

namespace brume {
namespace {

constexpr std::int32_t kFileDrop = 0;

}  // namespace

FileDropView::FileDropView(const Rect& bounds, FileDropListener* listener) : View(bounds), listener(listener) {}

bool FileDropView::acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point) {
  if (type != kFileDrop || !data || count < 1 || !listener) return false;
  return listener->onFilesDropped(this, data, count);
}

}  // namespace brume
