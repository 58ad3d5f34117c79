#pragma once
// A ValueDisplay that shows a text of its own (at most 255 characters) and
// lets the user edit it in a native single-line entry placed over the field:
// on a click, or on a double click with style 0x2000. The entry ends on Enter
// or when it loses the keyboard focus; the listener hears of a changed text,
// then the parent view (or else the frame) is sent "LooseFocus".
// User-interface thread only.

#include <cstdint>

#include "gui/ValueDisplay.h"
#include "gui/native/NativePlatform.h"

namespace brume {

using TextFormatter = void (*)(const char* text, char* formatted);
using TextFormatterWithContext = void (*)(const char* text, char* formatted, void* context);

class TextField : public ValueDisplay {
 public:
  static constexpr std::int32_t kMaximumLength = 255;
  static constexpr std::uint32_t kMinimumDoubleClickTime = 250;

  // `text` may be null (empty).
  TextField(const Rect& bounds, ControlListener* listener, std::int32_t tag, const char* text, Bitmap* background,
            std::int32_t style);

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, Point where) override;
  void endFocus(DrawContext* context) override;    // takes the entry's text back
  void beginFocus(DrawContext* context) override;  // opens the entry

  virtual void setText(const char* newText);  // null: nothing; cut to 255; marks when changed
  virtual void copyText(char* out) const;     // out holds 256 bytes
  virtual void setTextFormatterWithContext(TextFormatterWithContext formatter, void* context);
  virtual void setTextFormatter(TextFormatter formatter);

  const char* getText() const { return text; }
  bool isEditing() const { return editWindow != nullptr; }
  native::TextEntry* textEntry() const { return editWindow; }
  std::int32_t getDoubleClickTime() const { return doubleClickTime; }

 protected:
  ~TextField() override;

 private:
  class EntryEvents : public native::TextEntryClient {
   public:
    explicit EntryEvents(TextField& field) : field(field) {}
    void onEntryEnded() override;

   private:
    TextField& field;
  };

  bool completesDoubleClick();

  native::Brush* editBrush = nullptr;
  native::TextEntry* editWindow = nullptr;
  native::Font* editFont = nullptr;
  char text[kMaximumLength + 1] = {};
  std::int32_t lastClickTime = -1;
  std::int32_t doubleClickTime;
  TextFormatter textFormatter = nullptr;
  TextFormatterWithContext textFormatterWithContext = nullptr;
  EntryEvents entryEvents{*this};
};

}  // namespace brume
