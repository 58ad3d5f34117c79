#include "gui/TextField.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gui/DrawContext.h"
#include "gui/FontTable.h"
#include "gui/Frame.h"
#include "gui/MouseButtons.h"

namespace brume {
namespace {

constexpr char kLooseFocus[] = "LooseFocus";
constexpr std::int32_t kEditTextCapacity = 255;  // 254 characters and a zero

void copyCut(char* destination, const char* source) {
  std::snprintf(destination, TextField::kMaximumLength + 1, "%s", source);
}

}  // namespace

TextField::TextField(const Rect& bounds, ControlListener* listener, std::int32_t tag, const char* initialText,
                     Bitmap* background, std::int32_t style)
    : ValueDisplay(bounds, background, style),
      doubleClickTime(static_cast<std::int32_t>(std::max<std::uint32_t>(
          std::min<std::uint32_t>(native::doubleClickTime(), 0x7fffffff), kMinimumDoubleClickTime))) {
  this->listener = listener;
  this->tag = tag;
  if (initialText) copyCut(text, initialText);
}

TextField::~TextField() {
  // A field released while editing still gives its native resources back.
  if (editWindow) {
    native::TextEntry* entry = editWindow;
    editWindow = nullptr;
    native::destroyTextEntry(entry);
  }
  native::deleteFont(editFont);
  native::deleteBrush(editBrush);
}

void TextField::draw(DrawContext* context) {
  char shown[256] = "";
  if (textFormatterWithContext)
    textFormatterWithContext(text, shown, contextWord);
  else if (textFormatter)
    textFormatter(text, shown);
  else
    std::snprintf(shown, sizeof shown, "%s", text);
  shown[sizeof shown - 1] = 0;
  drawText(context, shown, nullptr);
}

bool TextField::completesDoubleClick() {
  Frame* frame = getOwnerFrame();
  std::int32_t now = static_cast<std::int32_t>(frame ? frame->tickCount() : 0);
  if (lastClickTime > 0 && now < lastClickTime + doubleClickTime) {
    lastClickTime = 0;
    return true;
  }
  lastClickTime = now;
  return false;
}

void TextField::onMouseDown(DrawContext* context, Point) {
  Frame* frame = getOwnerFrame();
  if (!isMouseActive() || !frame || !(buttonsFrom(context) & kLeftButton)) return;
  if (frame->focusedView() == this) return;
  if ((style & kDoubleClickStyle) && !completesDoubleClick()) return;
  frame->setFocusedView(this);
  beginFocus(context);
}

void TextField::beginFocus(DrawContext* context) {
  Frame* frame = getOwnerFrame();
  if (editWindow || !frame || !frame->nativeWindow()) return;
  Rect area = context ? bounds.movedBy(context->getOffset()) : bounds;

  const FontTableEntry& entry = fontTableEntry(fontIndex);
  native::FontDescription description;
  description.height = -entry.defaultSize;
  description.weight = 400;
  description.pitchAndFamily = 0x22;
  std::snprintf(description.face, sizeof description.face, "%s", entry.face);
  editFont = native::createFont(description);
  editBrush = native::createBrush(backColour);

  native::TextEntryStyle entryStyle;
  entryStyle.area = Rect{area.left, area.top, area.right + 1, area.bottom + 1};
  entryStyle.alignment = alignment == 0   ? native::TextAlignment::left
                         : alignment == 2 ? native::TextAlignment::right
                                          : native::TextAlignment::centre;
  entryStyle.font = editFont;
  entryStyle.textColour = textColour;
  entryStyle.backColour = backColour;
  entryStyle.backBrush = editBrush;
  editWindow = native::createTextEntry(frame->nativeWindow(), entryStyle, text, &entryEvents);
  if (!editWindow) {
    native::deleteFont(editFont);
    native::deleteBrush(editBrush);
    editFont = nullptr;
    editBrush = nullptr;
  }
}

void TextField::endFocus(DrawContext* context) {
  Frame* frame = getOwnerFrame();
  if (!editWindow || !frame || frame->focusedView() != this) return;
  frame->setFocusedView(nullptr);

  char oldText[kMaximumLength + 1];
  std::memcpy(oldText, text, sizeof oldText);
  char edited[kEditTextCapacity] = "";
  native::copyTextEntryText(editWindow, edited, kEditTextCapacity);
  copyCut(text, edited);

  // Destroying the entry takes its focus away, which reaches this function
  // again and stops at the focus test above.
  native::destroyTextEntry(editWindow);
  native::deleteFont(editFont);
  native::deleteBrush(editBrush);
  editFont = nullptr;
  editBrush = nullptr;

  if (std::strcmp(oldText, text) != 0 && listener) {
    if (context) {
      listener->onControlChanged(context, this);
    } else {
      native::Window* window = frame->nativeWindow();
      native::Surface* surface = native::acquireSurface(window);
      {
        DrawContext temporary(frame, surface, window);
        if (parentView) temporary.setOffset(parentView->getBounds().topLeft());
        listener->onControlChanged(&temporary, this);
      }
      native::releaseSurface(window, surface);
    }
  }
  editWindow = nullptr;

  if (parentView)
    parentView->onNotify(this, kLooseFocus);
  else
    frame->onNotify(this, kLooseFocus);
}

void TextField::EntryEvents::onEntryEnded() { field.endFocus(nullptr); }

void TextField::setText(const char* newText) {
  if (!newText) return;
  char cut[kMaximumLength + 1];
  copyCut(cut, newText);
  if (std::strcmp(cut, text) == 0) return;
  std::memcpy(text, cut, sizeof text);
  markRedraw(true);
}

void TextField::copyText(char* out) const {
  if (out) std::memcpy(out, text, sizeof text);
}

void TextField::setTextFormatterWithContext(TextFormatterWithContext formatter, void* context) {
  textFormatterWithContext = formatter;
  contextWord = context;
}

void TextField::setTextFormatter(TextFormatter formatter) { textFormatter = formatter; }

}  // namespace brume
