// The frame's drop target through its OLE interface, with data objects of
// the test's own: text, file lists, shortcuts, a refused format, names longer
// than the name buffer, and drops after the registration was revoked; and
// preset files dropped onto Brume7's own editor.
// The tests run in the order written: the shortcut ones before any frame.

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "editor/InstrumentEditor.h"
#include "gui/Frame.h"
#include "gui/native/win32/FrameDropTarget.h"
#include "gui/native/win32/Win32Platform.h"
#include "instrument/Instrument.h"
#include "tests/support/PresetFiles.h"
#include "tests/support/RecordingHost.h"

namespace brume::testing {
namespace {

using win32::FrameDropTarget;

// Counts the releases of a storage medium's release object.
class ReleaseCounter : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (!IsEqualIID(id, IID_IUnknown)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    ++releases;
    return --references;
  }
  ULONG references = 1;
  int releases = 0;
};

// A data object offering one clipboard format as global memory.
class TestDataObject : public IDataObject {
 public:
  TestDataObject(CLIPFORMAT format, std::vector<char> bytes) : format(format), bytes(std::move(bytes)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    ++getDataCalls;
    if (QueryGetData(wanted) != S_OK) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = releaseObject;
    if (releaseObject) {
      releaseObject->AddRef();
      handedOut.push_back(memory);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
    ++queries;
    if (!wanted || wanted->cfFormat != format) return DV_E_FORMATETC;
    if (!(wanted->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    if (wanted->dwAspect != DVASPECT_CONTENT || wanted->lindex != -1 || wanted->ptd) return DV_E_FORMATETC;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  // With a release object the medium's memory stays the test's to free.
  ~TestDataObject() {
    for (HGLOBAL memory : handedOut) GlobalFree(memory);
  }

  CLIPFORMAT format;
  std::vector<char> bytes;
  ReleaseCounter* releaseObject = nullptr;
  std::vector<HGLOBAL> handedOut;
  ULONG references = 1;
  int queries = 0;
  int getDataCalls = 0;
};

std::vector<char> textBlock(const std::string& text) { return std::vector<char>(text.begin(), text.end() + 1); }

// A DROPFILES block of ANSI names, each zero-terminated, the list ending in an empty name.
std::vector<char> fileList(const std::vector<std::string>& names) {
  std::vector<char> block(sizeof(DROPFILES), 0);
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  for (const std::string& name : names) block.insert(block.end(), name.begin(), name.end() + 1);
  block.push_back(0);
  return block;
}

POINTL anywhere() { return POINTL{10, 10}; }

class DropTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    target = new FrameDropTarget(&client);
    target->AddRef();
  }
  void TearDown() override {
    target->Release();
    OleUninitialize();
  }

  DWORD enter(IDataObject* data, DWORD keys) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(data, keys, anywhere(), &effect), S_OK);
    return effect;
  }
  void drop(IDataObject* data) {
    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(data, 0, anywhere(), &effect), S_OK);
  }

  RecordingClient client;
  FrameDropTarget* target = nullptr;
};

TEST_F(DropTargetTest, AnswersForItsTwoInterfacesAndCountsReferences) {
  void* out = nullptr;
  EXPECT_EQ(target->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDropTarget*>(target));
  EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDropTarget*>(target));
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  // One reference from SetUp and one from each successful query.
  EXPECT_EQ(target->AddRef(), 4u);
  EXPECT_EQ(target->Release(), 3u);
  EXPECT_EQ(target->Release(), 2u);
  EXPECT_EQ(target->Release(), 1u);

  // A fresh target starts at 0 and goes at the last release.
  auto* fresh = new FrameDropTarget(&client);
  EXPECT_EQ(fresh->AddRef(), 1u);
  EXPECT_EQ(fresh->Release(), 0u);
}

TEST_F(DropTargetTest, EffectsFollowTheOfferedFormatAndTheControlKey) {
  TestDataObject text(CF_TEXT, textBlock("hello"));
  EXPECT_EQ(enter(&text, 0), static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_TRUE(target->acceptsCurrentDrag());
  DWORD effect = 0;
  target->DragOver(MK_CONTROL, anywhere(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  target->DragOver(MK_LBUTTON, anywhere(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_EQ(enter(&text, MK_CONTROL | MK_LBUTTON), static_cast<DWORD>(DROPEFFECT_COPY));

  TestDataObject files(CF_HDROP, fileList({"C:\\a.txt"}));
  EXPECT_EQ(enter(&files, 0), static_cast<DWORD>(DROPEFFECT_MOVE));

  TestDataObject image(CF_BITMAP, std::vector<char>(16, 0));
  EXPECT_EQ(enter(&image, MK_CONTROL), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_FALSE(target->acceptsCurrentDrag());
  EXPECT_EQ(image.queries, 2) << "CF_TEXT then CF_HDROP should have been asked for";
  effect = DROPEFFECT_COPY;
  target->DragOver(MK_CONTROL, anywhere(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  EXPECT_EQ(enter(nullptr, 0), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(client.drops.empty());
}

TEST_F(DropTargetTest, DroppedTextReachesTheClientWithItsBlockSize) {
  TestDataObject text(CF_TEXT, textBlock("Dropped & ready"));
  ReleaseCounter releaser;
  text.releaseObject = &releaser;
  enter(&text, 0);
  drop(&text);
  ASSERT_EQ(client.drops.size(), 1u);
  EXPECT_EQ(client.drops[0].type, 1);
  // GlobalSize may round the block up; it holds at least the text and its zero.
  EXPECT_GE(client.drops[0].count, 16);
  EXPECT_STREQ(client.drops[0].items[0].c_str(), "Dropped & ready");
  EXPECT_EQ(releaser.releases, 1) << "the medium was not released through its release object";
}

TEST_F(DropTargetTest, DroppedFilesReachTheClientInOrder) {
  TestDataObject files(CF_HDROP, fileList({"C:\\music\\one.wav", "D:\\two.mid", "C:\\notes.LNKX"}));
  enter(&files, 0);
  drop(&files);
  ASSERT_EQ(client.drops.size(), 1u);
  EXPECT_EQ(client.drops[0].type, 0);
  ASSERT_EQ(client.drops[0].count, 3);
  EXPECT_EQ(client.drops[0].items[0], "C:\\music\\one.wav");
  EXPECT_EQ(client.drops[0].items[1], "D:\\two.mid");
  EXPECT_EQ(client.drops[0].items[2], "C:\\notes.LNKX");
}

TEST_F(DropTargetTest, ANameLongerThanTheBufferIsCutToIt) {
  std::string longName = "C:\\";
  for (int i = 0; longName.size() < 2000; ++i) longName += static_cast<char>('a' + i % 26);
  ASSERT_EQ(longName.size(), 2000u);
  // A shortcut extension must not make the cut name longer either.
  std::string longLink = longName.substr(0, 1500) + ".lnk";
  TestDataObject files(CF_HDROP, fileList({longName, "C:\\short.txt", longLink}));
  drop(&files);
  ASSERT_EQ(client.drops.size(), 1u);
  ASSERT_EQ(client.drops[0].count, 3);
  EXPECT_EQ(client.drops[0].items[0], longName.substr(0, FrameDropTarget::kNameCapacity - 1));
  EXPECT_EQ(client.drops[0].items[1], "C:\\short.txt");
  EXPECT_EQ(client.drops[0].items[2], longLink.substr(0, FrameDropTarget::kNameCapacity - 1));
}

TEST_F(DropTargetTest, RefusedFormatsAndLostClientsDropNothing) {
  TestDataObject image(CF_BITMAP, std::vector<char>(16, 0));
  enter(&image, 0);
  drop(&image);
  EXPECT_TRUE(client.drops.empty());

  TestDataObject text(CF_TEXT, textBlock("late"));
  target->forgetClient();
  enter(&text, 0);
  drop(&text);
  EXPECT_TRUE(client.drops.empty());
  EXPECT_EQ(text.getDataCalls, 0) << "a target without a client fetched the data";
}

// A temporary folder with a target file and a shortcut to it.
class ShortcutFolder {
 public:
  explicit ShortcutFolder(const char* linkName = "TARGET.LNK") {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char shortTemp[MAX_PATH];
    if (!GetShortPathNameA(temp, shortTemp, MAX_PATH)) std::snprintf(shortTemp, MAX_PATH, "%s", temp);
    folder = std::string(shortTemp) + "BRM7DROP";
    CreateDirectoryA(folder.c_str(), nullptr);
    targetPath = folder + "\\TARGET.TXT";
    HANDLE file = CreateFileA(targetPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    linkPath = folder + "\\" + linkName;
    saved = saveShortcut();
  }
  ~ShortcutFolder() {
    DeleteFileA(linkPath.c_str());
    DeleteFileA(targetPath.c_str());
    RemoveDirectoryA(folder.c_str());
  }

  std::string folder;
  std::string targetPath;
  std::string linkPath;
  bool saved = false;

 private:
  bool saveShortcut() {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
      return false;
    link->SetPath(targetPath.c_str());
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
      ok = SUCCEEDED(file->Save(wide, TRUE));
      file->Release();
    }
    link->Release();
    return ok;
  }
};

TEST_F(DropTargetTest, AShortcutWithACapitalExtensionDeliversItsTarget) {
  ShortcutFolder folder;
  ASSERT_TRUE(folder.saved) << "the test could not make its shortcut";
  const std::string missingLink = folder.folder + "\\MISSING.lnk";
  TestDataObject files(CF_HDROP, fileList({folder.linkPath, "C:\\plain.txt", missingLink}));
  drop(&files);
  ASSERT_EQ(client.drops.size(), 1u);
  ASSERT_EQ(client.drops[0].count, 3);
  EXPECT_EQ(lstrcmpiA(client.drops[0].items[0].c_str(), folder.targetPath.c_str()), 0)
      << "got " << client.drops[0].items[0] << ", expected " << folder.targetPath;
  EXPECT_EQ(client.drops[0].items[1], "C:\\plain.txt");
  EXPECT_EQ(client.drops[0].items[2], missingLink) << "a shortcut that cannot be read stays as dropped";
}

TEST(ShortcutResolution, StaysInsideTheGivenBuffer) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    // The link's name is 5 characters shorter than its target's path, so a
    // buffer just big enough for the name is too small for the target.
    ShortcutFolder folder("T.LNK");
    ASSERT_TRUE(folder.saved);
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    const std::size_t capacity = folder.linkPath.size() + 1;
    ASSERT_LT(capacity, sizeof buffer);
    std::memcpy(buffer, folder.linkPath.c_str(), capacity);
    FrameDropTarget::resolveShortcut(buffer, static_cast<std::uint32_t>(capacity));
    EXPECT_LT(std::strlen(buffer), capacity);
    for (std::size_t i = capacity; i < sizeof buffer; ++i)
      ASSERT_EQ(buffer[i], '#') << "written past the buffer at " << i;

    // With room enough the same link resolves.
    char roomy[FrameDropTarget::kNameCapacity];
    std::snprintf(roomy, sizeof roomy, "%s", folder.linkPath.c_str());
    FrameDropTarget::resolveShortcut(roomy, sizeof roomy);
    EXPECT_EQ(lstrcmpiA(roomy, folder.targetPath.c_str()), 0) << "resolved to " << roomy;
  }
  OleUninitialize();
}

// The registered target of a real frame window.
class FrameDropTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    frame = new Frame(Rect{0, 0, 300, 120}, host, nullptr);
    view = new RecordingView(Rect{100, 20, 200, 80});
    frame->addView(view);
  }
  void TearDown() override {
    delete frame;
    HostWindowTest::TearDown();
  }
  // Puts the cursor on a point of the frame window.
  void pointAt(Point where) {
    POINT screen{where.x, where.y};
    ClientToScreen(win32::windowHandle(frame->nativeWindow()), &screen);
    SetCursorPos(screen.x, screen.y);
  }

  Frame* frame = nullptr;
  RecordingView* view = nullptr;
};

TEST_F(FrameDropTest, TheFrameRegistersItsTargetAndOffersDropsToTheViewUnderTheCursor) {
  ASSERT_TRUE(frame->isDropRegistered());
  IDropTarget* target = win32::registeredDropTarget(frame->nativeWindow());
  ASSERT_NE(target, nullptr);
  // OLE holds the registration: a second one for the same window is refused.
  EXPECT_EQ(RegisterDragDrop(win32::windowHandle(frame->nativeWindow()), target), DRAGDROP_E_ALREADYREGISTERED);

  TestDataObject text(CF_TEXT, textBlock("on the view"));
  DWORD effect = 0;
  pointAt({150, 50});
  target->DragEnter(&text, 0, POINTL{0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  target->Drop(&text, 0, POINTL{0, 0}, &effect);
  ASSERT_EQ(view->drops.size(), 1u);
  EXPECT_STREQ(view->drops[0].c_str(), "on the view");
  EXPECT_EQ(view->dropPoints[0], (Point{150, 50}));

  pointAt({20, 20});  // beside the view
  target->Drop(&text, 0, POINTL{0, 0}, &effect);
  EXPECT_EQ(view->drops.size(), 1u);
}

TEST_F(FrameDropTest, ADropAfterRevocationOrCloseDoesNothing) {
  IDropTarget* target = win32::registeredDropTarget(frame->nativeWindow());
  ASSERT_NE(target, nullptr);
  target->AddRef();  // as a drag in progress would hold it
  pointAt({150, 50});
  ASSERT_TRUE(frame->enableDrop(false));
  EXPECT_FALSE(frame->isDropRegistered());
  EXPECT_EQ(win32::registeredDropTarget(frame->nativeWindow()), nullptr);
  TestDataObject text(CF_TEXT, textBlock("too late"));
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_TRUE(view->drops.empty());
  target->Release();

  ASSERT_TRUE(frame->enableDrop(true));
  target = win32::registeredDropTarget(frame->nativeWindow());
  ASSERT_NE(target, nullptr);
  target->AddRef();
  delete frame;
  frame = nullptr;
  EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
  target->Release();
  frame = new Frame(Rect{0, 0, 300, 120}, host, nullptr);  // for TearDown
}

TEST_F(FrameDropTest, TheHostDestroyingTheWindowEndsTheRegistration) {
  IDropTarget* target = win32::registeredDropTarget(frame->nativeWindow());
  ASSERT_NE(target, nullptr);
  target->AddRef();
  pointAt({150, 50});
  DestroyWindow(host);
  host = nullptr;
  TestDataObject text(CF_TEXT, textBlock("after the host"));
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_TRUE(view->drops.empty());
  EXPECT_EQ(text.getDataCalls, 0);
  // Only the test's own reference is left: the registration let go of the target.
  EXPECT_EQ(target->Release(), 0u);
}

// Brume7's editor opened in the host window, with preset files dropped onto
// it through its registered target as Explorer would drop them. The loading
// rules are tested headless; this is the Windows road to them.
class EditorPresetDropTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp);
    instrument = std::make_unique<Instrument>(test::RecordingHost::callback());
    AEffect* record = instrument->record();
    ASSERT_EQ(record->dispatcher(record, 14, 0, 0, host, 0.0f), 1);
    frame = static_cast<InstrumentEditor*>(instrument->editorObjectPointer())->getFrame();
    ASSERT_NE(frame, nullptr);
    // Over the editor, between its controls.
    POINT screen{300, 100};
    ClientToScreen(win32::windowHandle(frame->nativeWindow()), &screen);
    SetCursorPos(screen.x, screen.y);
  }
  void TearDown() override {
    if (instrument) {
      AEffect* record = instrument->record();
      record->dispatcher(record, 15, 0, 0, nullptr, 0.0f);
    }
    instrument.reset();
    for (const std::string& path : written) DeleteFileA(path.c_str());
    HostWindowTest::TearDown();
  }

  std::string write(const char* name, const PresetFile& file) {
    const std::string path = folder + name;
    EXPECT_TRUE(test::writeBytes(path, writePresetFile(file))) << path;
    written.push_back(path);
    return path;
  }
  void drop(const std::string& path) {
    IDropTarget* target = win32::registeredDropTarget(frame->nativeWindow());
    ASSERT_NE(target, nullptr);
    TestDataObject files(CF_HDROP, fileList({path}));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(&files, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(target->Drop(&files, 0, POINTL{0, 0}, &effect), S_OK);
  }
  std::vector<float> liveValues() const {
    std::vector<float> values;
    for (std::int32_t i = 0; i < kParameterCount; ++i) values.push_back(instrument->getParameter(i));
    return values;
  }

  test::RecordingHost recorder;
  std::unique_ptr<Instrument> instrument;
  Frame* frame = nullptr;
  std::string folder;
  std::vector<std::string> written;
};

TEST_F(EditorPresetDropTest, AProgramAndABankLoadAndAnotherPluginsFileIsRefused) {
  const PresetFile program = test::presetProgramFile(5);
  recorder.clear();
  drop(write("BRM7LEAD.FXP", program));
  EXPECT_EQ(liveValues(), program.programs[0].values);
  EXPECT_STREQ(instrument->program(0)->name, "Dropped 5");
  const std::vector<test::HostCall> automated = recorder.callsWith(kHostAutomate);
  ASSERT_EQ(automated.size(), static_cast<std::size_t>(kParameterCount)) << "every value differs from the defaults";
  EXPECT_EQ(automated.back().index, kParameterCount - 1);
  EXPECT_EQ(automated.back().opt, program.programs[0].values.back());

  AEffect* record = instrument->record();
  record->dispatcher(record, 2, 0, 4, nullptr, 0.0f);  // program 4 is current
  const PresetFile bank = test::presetBankFile(50);
  drop(write("BRM7PADS.FXB", bank));
  EXPECT_EQ(instrument->programIndex(), 4);
  EXPECT_EQ(liveValues(), bank.programs[4].values);
  for (std::int32_t p = 0; p < kProgramCount; ++p)
    EXPECT_STREQ(instrument->program(p)->name, bank.programs[p].name.c_str());

  PresetFile other = test::presetProgramFile(7);
  other.pluginId = fourCharacterCode('D', 'r', 'm', 'S');
  recorder.clear();
  drop(write("BRM7OTHR.FXP", other));
  EXPECT_EQ(liveValues(), bank.programs[4].values);
  EXPECT_STREQ(instrument->program(4)->name, bank.programs[4].name.c_str());
  EXPECT_EQ(recorder.count(kHostAutomate), 0);
}

}  // namespace
}  // namespace brume::testing
