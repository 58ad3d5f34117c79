#include "gui/native/win32/FrameDropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <new>

namespace brume::win32 {
namespace {

constexpr DWORD kAllIndexes = 0xFFFFFFFF;

FORMATETC formatOf(CLIPFORMAT format) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool offers(IDataObject* data, CLIPFORMAT format) {
  FORMATETC wanted = formatOf(format);
  return data->QueryGetData(&wanted) == S_OK;
}

bool fetch(IDataObject* data, CLIPFORMAT format, STGMEDIUM& medium) {
  FORMATETC wanted = formatOf(format);
  medium = STGMEDIUM{};
  return data->GetData(&wanted, &medium) == S_OK;
}

bool hasShortcutExtension(const char* name) {
  const char* period = std::strrchr(name, '.');
  return period && lstrcmpiA(period, ".lnk") == 0;
}

// Copies of the names handed to the client; the copies die with the list.
class NameList {
 public:
  explicit NameList(UINT capacity) : names(new (std::nothrow) char*[capacity]), capacity(names ? capacity : 0) {}
  ~NameList() {
    for (UINT i = 0; i < count; ++i) delete[] names[i];
    delete[] names;
  }
  NameList(const NameList&) = delete;
  NameList& operator=(const NameList&) = delete;

  void add(const char* name) {
    if (count == capacity) return;
    std::size_t length = std::strlen(name);
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy) return;
    std::memcpy(copy, name, length + 1);
    names[count++] = copy;
  }
  const char* const* data() const { return names; }
  std::int32_t size() const { return static_cast<std::int32_t>(count); }

 private:
  char** names;
  UINT capacity;
  UINT count = 0;
};

}  // namespace

FrameDropTarget::FrameDropTarget(native::WindowClient* client) : client(client) {}

HRESULT STDMETHODCALLTYPE FrameDropTarget::QueryInterface(REFIID id, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FrameDropTarget::AddRef() { return static_cast<ULONG>(++references); }

ULONG STDMETHODCALLTYPE FrameDropTarget::Release() {
  LONG left = --references;
  if (left <= 0) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  accepts = false;
  if (data && (offers(data, CF_TEXT) || offers(data, CF_HDROP))) {
    accepts = true;
    return DragOver(keyState, point, effect);
  }
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (!accepts)
    *effect = DROPEFFECT_NONE;
  else
    *effect = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragLeave() { return S_OK; }

HRESULT STDMETHODCALLTYPE FrameDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD*) {
  if (!client || !data) return DragLeave();
  STGMEDIUM medium;
  bool text = fetch(data, CF_TEXT, medium);
  if (!text && !fetch(data, CF_HDROP, medium)) return DragLeave();
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    if (text)
      dropText(medium.hGlobal);
    else
      dropFiles(static_cast<HDROP>(medium.hGlobal));
  }
  // Through the medium's release object when it has one, else GlobalFree.
  ReleaseStgMedium(&medium);
  return DragLeave();
}

void FrameDropTarget::dropText(HGLOBAL memory) {
  const char* start = static_cast<const char*>(GlobalLock(memory));
  SIZE_T size = GlobalSize(memory);
  if (start && size && client) {
    std::int32_t count = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<std::int32_t>(size);
    client->onDrop(&start, count, 1);
  }
  if (start) GlobalUnlock(memory);
}

void FrameDropTarget::dropFiles(HDROP files) {
  UINT total = DragQueryFileA(files, kAllIndexes, nullptr, 0);
  if (total == 0) return;
  NameList list(total);
  for (UINT i = 0; i < total; ++i) {
    char name[kNameCapacity] = "";
    // A longer name comes back cut to the buffer, still terminated.
    if (DragQueryFileA(files, i, name, kNameCapacity) == 0) continue;
    name[kNameCapacity - 1] = 0;
    resolveShortcut(name, kNameCapacity);
    list.add(name);
  }
  if (client) client->onDrop(list.data(), list.size(), 0);
}

void FrameDropTarget::resolveShortcut(char* name, std::uint32_t capacity) {
  if (!name || capacity == 0 || !hasShortcutExtension(name)) return;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[kWideNameCapacity];
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kWideNameCapacity) > 0 &&
        SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->Resolve(nullptr, kResolveFlags))) {
      int size = capacity > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(capacity);
      link->GetPath(name, size, nullptr, SLGP_SHORTPATH);
      name[capacity - 1] = 0;
    }
    file->Release();
  }
  link->Release();
}

}  // namespace brume::win32
