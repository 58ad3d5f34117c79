#pragma once
// Small text helpers for the reports of `brume7-host info`.

#include <string>

namespace brume {

// printf into a string (up to 1 KiB).
std::string formatText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
// Texts from a plug-in may hold line breaks or tabs; a table row must not.
std::string printable(std::string text);

}  // namespace brume
