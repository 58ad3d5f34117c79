#pragma once
// The OLE drop target of a frame window: tells the dragging program whether
// a drop would copy or move, and hands dropped text, or dropped file names
// with shortcuts resolved to their targets, to the window's client.
// Registration holds it (RegisterDragDrop) and revocation lets it go.
// OLE calls it on the user-interface thread that registered it.

#include <windows.h>
#include <ole2.h>

#include <cstdint>

#include "gui/native/NativePlatform.h"

namespace brume::win32 {

class FrameDropTarget final : public IDropTarget {
 public:
  // Room for one dropped file name, its zero included.
  static constexpr std::uint32_t kNameCapacity = 1024;
  // Room for a shortcut's name in UTF-16, its zero included.
  static constexpr int kWideNameCapacity = 2048;
  // No user interface, any match, and 500 ms to find a moved target.
  static constexpr DWORD kResolveFlags = 0x01F40003;

  // The count starts at 0: the first AddRef (normally RegisterDragDrop's) makes it live.
  explicit FrameDropTarget(native::WindowClient* client);
  FrameDropTarget(const FrameDropTarget&) = delete;
  FrameDropTarget& operator=(const FrameDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;  // destroys itself at 0
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  // From here on a drop reaches nobody.
  void forgetClient() { client = nullptr; }
  bool acceptsCurrentDrag() const { return accepts; }

  // Replaces a ".lnk" name (any case) with its target's path, in the same
  // buffer of `capacity` bytes; any other name, or a link that cannot be
  // read, stays as it is. COM must be initialised on the thread.
  static void resolveShortcut(char* name, std::uint32_t capacity);

 private:
  ~FrameDropTarget() = default;

  void dropText(HGLOBAL memory);
  void dropFiles(HDROP files);

  LONG references = 0;
  bool accepts = false;
  native::WindowClient* client;
};

}  // namespace brume::win32
