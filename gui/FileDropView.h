#pragma once
// A view that takes files dropped on it and hands their names to a listener.
// It draws nothing and refuses text. The frame offers a drop to the views
// under the cursor from the topmost down, so a FileDropView added before the
// other views gets whatever drops they refuse, and their clicks stay theirs.
// User-interface thread only.

#include <cstdint>

#include "gui/View.h"

namespace brume {

class FileDropView;

class FileDropListener {
 public:
  // `names` holds `count` (at least 1) file names, valid only during the call.
  // True when the files were taken.
  virtual bool onFilesDropped(FileDropView* view, const char* const* names, std::int32_t count) = 0;

 protected:
  ~FileDropListener() = default;
};

class FileDropView : public View {
 public:
  FileDropView(const Rect& bounds, FileDropListener* listener);

  // Files (type 0) go to the listener; text and empty lists are refused.
  bool acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point where) override;

 private:
  FileDropListener* listener;
};

}  // namespace brume
