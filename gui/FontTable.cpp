#include "gui/FontTable.h"

namespace brume {
namespace {

constexpr FontTableEntry kFontTable[kFontTableSize] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

}  // namespace

std::int32_t validFontIndex(std::int32_t index) { return index >= 0 && index < kFontTableSize ? index : 0; }

const FontTableEntry& fontTableEntry(std::int32_t index) { return kFontTable[validFontIndex(index)]; }

}  // namespace brume
