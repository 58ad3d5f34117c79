// The headless single-line text entry: a text the caller types into, drawn on
// the parent window's canvas, ending on Enter or focus loss.

#include <algorithm>
#include <cstring>
#include <new>

#include "gui/native/headless/HeadlessState.h"
#include "gui/native/raster/EntryText.h"
#include "gui/native/raster/RasterObjects.h"
#include "gui/native/raster/TextRenderer.h"

namespace brume {
namespace headless {
namespace {

// Takes the keyboard focus away; the entry's client hears of it.
void loseFocus(native::TextEntry* entry) {
  State& s = state();
  if (s.focusedEntry != entry) return;
  s.focusedEntry = nullptr;
  if (entry->client) entry->client->onEntryEnded();
}

}  // namespace

bool isLiveEntry(const native::TextEntry* entry) {
  const auto& entries = state().entries;
  return entry && std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void drawTextEntry(const native::TextEntry& entry) {
  if (!entry.parent) return;
  raster::Canvas& canvas = entry.parent->canvas;
  canvas.fill(entry.style.area, raster::pixelOf(entry.style.backColour));
  native::FontDescription font;
  if (entry.style.font) font = entry.style.font->description;
  raster::TextPaint paint{entry.style.textColour, false, entry.style.backColour};
  raster::drawTextLine(canvas, font, entry.text.c_str(), entry.style.area, entry.style.alignment, paint);
}

std::int32_t textEntryCount() { return static_cast<std::int32_t>(state().entries.size()); }

native::TextEntry* focusedTextEntry() { return state().focusedEntry; }

native::TextEntry* lastCreatedTextEntry() { return state().entries.empty() ? nullptr : state().entries.back(); }

std::string textEntryContent(native::TextEntry* entry) { return isLiveEntry(entry) ? entry->text : std::string(); }

const native::TextEntryStyle* textEntryStyle(native::TextEntry* entry) {
  return isLiveEntry(entry) ? &entry->style : nullptr;
}

void typeIntoTextEntry(native::TextEntry* entry, const std::string& text) {
  if (!isLiveEntry(entry)) return;
  if (entry->allSelected)
    entry->text = text;
  else
    entry->text += text;
  entry->allSelected = false;
  drawTextEntry(*entry);
}

void pressEnter(native::TextEntry* entry) {
  if (isLiveEntry(entry) && entry->client) entry->client->onEntryEnded();
}

void takeFocusFrom(native::TextEntry* entry) {
  if (isLiveEntry(entry)) loseFocus(entry);
}

}  // namespace headless

namespace native {

TextEntry* createTextEntry(Window* parent, const TextEntryStyle& style, const char* text, TextEntryClient* client) {
  if (!headless::isLiveWindow(parent)) return nullptr;
  TextEntry* entry = new (std::nothrow) TextEntry;
  if (!entry) return nullptr;
  entry->parent = parent;
  entry->style = style;
  entry->text = text ? text : "";
  entry->client = client;
  headless::State& s = headless::state();
  s.entries.push_back(entry);
  if (s.focusedEntry) headless::loseFocus(s.focusedEntry);
  s.focusedEntry = entry;
  headless::drawTextEntry(*entry);
  return entry;
}

std::int32_t copyTextEntryText(TextEntry* entry, char* text, std::int32_t capacity) {
  return raster::copyEntryText(headless::isLiveEntry(entry) ? entry->text : std::string(), text, capacity);
}

void destroyTextEntry(TextEntry* entry) {
  if (!headless::isLiveEntry(entry)) return;
  // A focused window loses the focus as it goes.
  headless::loseFocus(entry);
  auto& entries = headless::state().entries;
  auto found = std::find(entries.begin(), entries.end(), entry);
  if (found == entries.end()) return;  // the client destroyed it already
  entries.erase(found);
  // The area the entry covered asks to be painted again.
  if (entry->parent) headless::invalidateWindow(entry->parent, entry->style.area);
  delete entry;
}

}  // namespace native
}  // namespace brume
