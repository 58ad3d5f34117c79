// The X11 single-line text entry: drawn over the parent window's canvas, fed
// by the keys of our connection while it holds the keyboard focus, ending on
// Enter, on a lost focus or when the frame ends it (a click elsewhere).

#include <algorithm>
#include <cstring>
#include <new>

#include "gui/native/raster/EntryText.h"
#include "gui/native/raster/RasterObjects.h"
#include "gui/native/raster/TextRenderer.h"
#include "gui/native/x11/X11Platform.h"
#include "gui/native/x11/X11State.h"

#include <X11/keysym.h>

namespace brume {
namespace x11 {
namespace {

constexpr std::int32_t kCaretInset = 1;

native::FontDescription fontOf(const native::TextEntry& entry) {
  return entry.style.font ? entry.style.font->description : native::FontDescription{};
}

// Where the text starts, as drawTextLine places it.
std::int32_t textLeft(const native::TextEntry& entry, std::int32_t textWidth) {
  const Rect& area = entry.style.area;
  switch (entry.style.alignment) {
    case native::TextAlignment::centre:
      return area.left + (area.width() - textWidth) / 2;
    case native::TextAlignment::right:
      return area.right - textWidth;
    default:
      return area.left;
  }
}

std::int32_t caretX(const native::TextEntry& entry, std::size_t position) {
  native::FontDescription font = fontOf(entry);
  std::int32_t left = textLeft(entry, raster::measureText(font, entry.text.c_str()).width);
  return left + raster::measureText(font, entry.text.substr(0, position).c_str()).width;
}

void redraw(native::TextEntry& entry) {
  if (entry.parent) present(entry.parent);  // draws the entry first
}

bool isLiveEntryOf(const Connection* connection, const native::TextEntry* entry) {
  return connection && entry && connection->entry == entry;
}

// Gives the keyboard back to whoever had it, unless it has moved on already.
void returnFocus(native::TextEntry& entry) {
  native::Window* window = entry.parent;
  if (!window || window->gone || window->connection->lost) return;
  Display* display = window->connection->display;
  ErrorTrap trap(window->connection);
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == window->id && entry.hasPreviousFocus)
    XSetInputFocus(display, entry.previousFocus, RevertToParent, CurrentTime);
  XSelectInput(display, window->id, eventMaskOf(*window));
}

void insertText(native::TextEntry& entry, const char* characters, std::size_t count) {
  if (entry.allSelected) {
    entry.text.clear();
    entry.caret = 0;
    entry.allSelected = false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    auto byte = static_cast<unsigned char>(characters[i]);
    if (byte < 0x20 || byte == 0x7f) continue;  // control characters are not text
    if (entry.text.size() >= static_cast<std::size_t>(kMaximumEntryLength)) break;
    entry.text.insert(entry.caret, 1, static_cast<char>(byte));
    ++entry.caret;
  }
}

}  // namespace

bool isLiveEntry(const native::TextEntry* entry) { return isLiveEntryOf(currentConnection(), entry); }

native::TextEntry* activeTextEntry() {
  Connection* connection = currentConnection();
  return connection ? connection->entry : nullptr;
}

void drawTextEntry(native::TextEntry& entry) {
  if (!entry.parent) return;
  raster::Canvas& canvas = entry.parent->canvas;
  const Rect& area = entry.style.area;
  canvas.fill(area, raster::pixelOf(entry.style.backColour));
  native::FontDescription font = fontOf(entry);
  const char* text = entry.text.c_str();
  if (entry.allSelected && !entry.text.empty()) {
    // The selection: the colours swapped over the text's box.
    raster::TextPaint paint{entry.style.backColour, true, entry.style.textColour};
    raster::drawTextLine(canvas, font, text, area, entry.style.alignment, paint);
    return;
  }
  raster::TextPaint paint{entry.style.textColour, false, entry.style.backColour};
  raster::drawTextLine(canvas, font, text, area, entry.style.alignment, paint);
  raster::TextExtent extent = raster::measureText(font, text);
  std::int32_t lineHeight = std::max(extent.ascent + extent.descent, 1);
  std::int32_t top = area.top + (area.height() - lineHeight) / 2;
  std::int32_t x = std::clamp(caretX(entry, entry.caret), area.left, area.right - kCaretInset);
  canvas.fill(Rect{x, std::max(top, area.top), x + 1, std::min(top + lineHeight, area.bottom)},
              raster::pixelOf(entry.style.textColour));
}

void entryKeyPress(native::TextEntry& entry, XKeyEvent& event) {
  char characters[32];
  KeySym key = NoSymbol;
  int count = 0;
  {
    ErrorTrap trap(entry.parent->connection, false);
    count = XLookupString(&event, characters, sizeof characters, &key, nullptr);
  }
  std::size_t length = entry.text.size();
  switch (key) {
    case XK_Return:
    case XK_KP_Enter:
      endTextEntry(&entry);
      return;  // the client has usually destroyed the entry
    case XK_BackSpace:
      if (entry.allSelected) {
        insertText(entry, "", 0);
      } else if (entry.caret > 0) {
        entry.text.erase(entry.caret - 1, 1);
        --entry.caret;
      }
      break;
    case XK_Delete:
    case XK_KP_Delete:
      if (entry.allSelected)
        insertText(entry, "", 0);
      else if (entry.caret < length)
        entry.text.erase(entry.caret, 1);
      break;
    case XK_Left:
    case XK_KP_Left:
      entry.caret = entry.allSelected ? 0 : (entry.caret > 0 ? entry.caret - 1 : 0);
      entry.allSelected = false;
      break;
    case XK_Right:
    case XK_KP_Right:
      entry.caret = entry.allSelected ? length : std::min(entry.caret + 1, length);
      entry.allSelected = false;
      break;
    case XK_Home:
    case XK_KP_Home:
      entry.caret = 0;
      entry.allSelected = false;
      break;
    case XK_End:
    case XK_KP_End:
      entry.caret = length;
      entry.allSelected = false;
      break;
    default:
      if (count > 0 && !(event.state & ControlMask)) insertText(entry, characters, static_cast<std::size_t>(count));
      break;
  }
  redraw(entry);
}

void entryClick(native::TextEntry& entry, std::int32_t x) {
  // The caret goes to the character boundary nearest the click.
  std::size_t best = 0;
  std::int32_t bestDistance = -1;
  for (std::size_t position = 0; position <= entry.text.size(); ++position) {
    std::int32_t distance = std::abs(caretX(entry, position) - x);
    if (bestDistance < 0 || distance < bestDistance) {
      best = position;
      bestDistance = distance;
    }
  }
  entry.caret = best;
  entry.allSelected = false;
  redraw(entry);
}

void detachTextEntry(native::TextEntry& entry) {
  returnFocus(entry);
  entry.parent = nullptr;
}

void endTextEntry(native::TextEntry* entry) {
  if (!entry || entry->ended) return;
  entry->ended = true;
  Connection* connection = currentConnection();
  ConnectionUse use(connection);
  if (entry->client) entry->client->onEntryEnded();
}

}  // namespace x11

namespace native {

TextEntry* createTextEntry(Window* parent, const TextEntryStyle& style, const char* text, TextEntryClient* client) {
  if (!x11::isLiveWindow(parent)) return nullptr;
  x11::Connection* connection = parent->connection;
  // Only one entry takes the keys: an earlier one ends first.
  if (connection->entry) x11::endTextEntry(connection->entry);
  if (!x11::isLiveWindow(parent) || connection->entry) return nullptr;
  TextEntry* entry = new (std::nothrow) TextEntry;
  if (!entry) return nullptr;
  entry->parent = parent;
  entry->style = style;
  entry->text = text ? text : "";
  if (entry->text.size() > static_cast<std::size_t>(x11::kMaximumEntryLength))
    entry->text.resize(static_cast<std::size_t>(x11::kMaximumEntryLength));
  entry->caret = entry->text.size();
  entry->client = client;
  connection->entry = entry;
  if (!parent->gone && !connection->lost) {
    Display* display = connection->display;
    x11::ErrorTrap trap(connection);
    int revert = 0;
    entry->hasPreviousFocus = XGetInputFocus(display, &entry->previousFocus, &revert) != 0;
    XSelectInput(display, parent->id, x11::eventMaskOf(*parent));
    entry->focusSerial = NextRequest(display);
    // Fails (and the trap takes it) when the window is not viewable; the entry then ends by a click.
    XSetInputFocus(display, parent->id, RevertToParent, CurrentTime);
  }
  x11::present(parent);
  return entry;
}

std::int32_t copyTextEntryText(TextEntry* entry, char* text, std::int32_t capacity) {
  return raster::copyEntryText(x11::isLiveEntry(entry) ? entry->text : std::string(), text, capacity);
}

void destroyTextEntry(TextEntry* entry) {
  if (!x11::isLiveEntry(entry)) return;
  x11::Connection* connection = x11::currentConnection();
  // Losing the focus as it goes, the entry tells its client once.
  x11::endTextEntry(entry);
  if (connection->entry != entry) return;  // the client destroyed it already
  connection->entry = nullptr;
  if (Window* parent = entry->parent) {
    x11::returnFocus(*entry);
    // The toolkit's pixels come back where the entry was.
    x11::invalidate(parent, entry->style.area);
  }
  delete entry;
}

}  // namespace native
}  // namespace brume
