#pragma once
// The bundle's Turtle files, written from the parameter catalogue, the port
// layout and the preset banks, so that names, symbols, defaults and presets
// have one source: manifest.ttl, brume7.ttl (the plug-in and its UI) and
// presets.ttl.

#include <string>
#include <vector>

#include "tools/lv2-bundle/PresetBank.h"

namespace brume::lv2 {

struct BundleVersion {
  int minor = 0;  // lv2:minorVersion, even for releases
  int micro = 0;  // lv2:microVersion
};

struct TurtleFile {
  std::string name;
  std::string text;
};

// The three files, or an empty list and `problem` set when the data cannot
// make a valid bundle (a symbol twice or not a valid symbol, two presets of one URI...).
std::vector<TurtleFile> makeTurtleFiles(const std::string& binaryName, const BundleVersion& version,
                                        const std::vector<PresetBank>& banks, std::string& problem);

// "Default" -> "default", "Warm Pad #2" -> "warm-pad-2": the preset and bank URIs' last part.
std::string uriSlug(const std::string& name);

}  // namespace brume::lv2
