#include "host/lv2/PortLayout.h"

namespace brume::lv2 {

std::string portSymbol(const char* name) {
  std::string symbol;
  bool inRun = false;
  for (const char* c = name; *c != '\0'; ++c) {
    const char ch = *c;
    if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')) {
      symbol += ch;
      inRun = false;
    } else if (ch >= 'A' && ch <= 'Z') {
      symbol += static_cast<char>(ch - 'A' + 'a');
      inRun = false;
    } else if (!inRun) {
      symbol += '_';
      inRun = true;
    }
  }
  return symbol;
}

}  // namespace brume::lv2
