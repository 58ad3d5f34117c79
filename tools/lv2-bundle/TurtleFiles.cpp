#include "tools/lv2-bundle/TurtleFiles.h"

#include <set>
#include <sstream>

#include "host/lv2/PortLayout.h"
#include "instrument/ParameterCatalogue.h"
#include "tools/lv2-bundle/ScalePoints.h"

namespace brume::lv2 {
namespace {

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "\n";

constexpr const char* kProgramsInterface = "<http://kxstudio.sf.net/ns/lv2ext/programs#Interface>";
constexpr const char* kProgramsHost = "<http://kxstudio.sf.net/ns/lv2ext/programs#Host>";
constexpr const char* kInstanceAccess = "<http://lv2plug.in/ns/ext/instance-access>";

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

// A decimal literal even for whole values ("1.0", not the integer "1"), so that hosts read a float.
std::string presetValue(float value) {
  std::string text = shortestDecimal(value);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string uri(const std::string& text) { return "<" + text + ">"; }

std::string bankUri(const PresetBank& bank) { return std::string(kPluginUri) + ":bank:" + uriSlug(bank.name); }

std::string presetUri(const PresetBank& bank, const PresetProgram& program) {
  return std::string(kPluginUri) + ":preset:" + uriSlug(bank.name) + ":" + uriSlug(program.name);
}

// An LV2 symbol: a letter or "_" first, then letters, digits and "_".
bool isValidSymbol(const std::string& symbol) {
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) return false;
  for (char c : symbol)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

bool makeSymbols(std::vector<std::string>& symbols, std::string& problem) {
  std::set<std::string> seen = {"in", "out_left", "out_right", "events"};
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const std::string symbol = portSymbol(parameterNames[i]);
    if (!isValidSymbol(symbol) || !seen.insert(symbol).second) {
      problem = "the port symbol \"" + symbol + "\" of \"" + parameterNames[i] + "\" is not valid or not unique";
      return false;
    }
    symbols.push_back(symbol);
  }
  return true;
}

std::string manifest(const std::string& binaryName, const std::vector<PresetBank>& banks) {
  std::ostringstream out;
  out << kPrefixes;
  out << uri(kPluginUri) << "\n    a lv2:Plugin ;\n    lv2:binary " << uri(binaryName)
      << " ;\n    rdfs:seeAlso <brume7.ttl> .\n\n";
  out << uri(kUiUri) << "\n    a ui:X11UI ;\n    lv2:binary " << uri(binaryName)
      << " ;\n    rdfs:seeAlso <brume7.ttl> .\n";
  for (const PresetBank& bank : banks)
    for (const PresetProgram& program : bank.programs)
      out << "\n"
          << uri(presetUri(bank, program)) << "\n    a pset:Preset ;\n    lv2:appliesTo " << uri(kPluginUri)
          << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
  return out.str();
}

std::string controlPort(std::int32_t index, const std::string& symbol, std::string& problem) {
  std::ostringstream out;
  const std::string defaultValue = shortestDecimal(ParameterLayout[index].defaultValue);
  out << "[\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " << index << " ;\n        lv2:symbol "
      << quoted(symbol) << " ;\n        lv2:name " << quoted(parameterNames[index]) << " ;\n        lv2:default "
      << defaultValue << " ;\n        lv2:minimum 0 ;\n        lv2:maximum 1";
  const PortKind kind = portKind(index);
  if (kind == PortKind::toggled) out << " ;\n        lv2:portProperty lv2:toggled";
  if (kind == PortKind::enumeration) out << " ;\n        lv2:portProperty lv2:enumeration";
  const std::vector<ScalePoint> points = scalePoints(index);
  bool defaultIsPoint = points.empty();
  for (std::size_t p = 0; p < points.size(); ++p) {
    out << (p == 0 ? " ;\n        lv2:scalePoint " : " ,\n            ") << "[ rdfs:label " << quoted(points[p].label)
        << " ; rdf:value " << points[p].value << " ]";
    if (points[p].value.empty()) problem = std::string("no value shows \"") + points[p].label + "\"";
    defaultIsPoint = defaultIsPoint || points[p].value == defaultValue;
  }
  if (!defaultIsPoint) problem = std::string("the default of \"") + parameterNames[index] + "\" is no scale point";
  out << "\n    ]";
  return out.str();
}

std::string plugin(const BundleVersion& version, const std::vector<std::string>& symbols, std::string& problem) {
  std::ostringstream out;
  out << kPrefixes;
  out << uri(kPluginUri) << "\n    a lv2:Plugin , lv2:InstrumentPlugin , doap:Project ;\n"
      << "    doap:name \"Brume7\" ;\n"
      << "    rdfs:comment \"A polyphonic synthesizer: 16 voices of three oscillators, a resonant low-pass filter, "
         "two tempo-synchronised LFOs and four note-triggered modulators.\" ;\n"
      << "    doap:license <http://opensource.org/licenses/mit> ;\n"
      << "    doap:maintainer [ foaf:name \"Pellarine\" ] ;\n"
      << "    lv2:minorVersion " << version.minor << " ;\n    lv2:microVersion " << version.micro << " ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , opts:options , " << kProgramsHost << " ;\n"
      << "    opts:supportedOption bufsz:nominalBlockLength , bufsz:maxBlockLength ;\n"
      << "    lv2:extensionData state:interface , " << kProgramsInterface << " ;\n"
      << "    ui:ui " << uri(kUiUri) << " ;\n    lv2:port ";
  for (std::int32_t i = 0; i < kParameterCount; ++i) out << controlPort(i, symbols[i], problem) << " ,\n    ";
  out << "[\n        a lv2:InputPort , lv2:AudioPort ;\n        lv2:index " << kAudioInputPort
      << " ;\n        lv2:symbol \"in\" ;\n        lv2:name \"Audio Input\"\n    ] ,\n    ";
  out << "[\n        a lv2:OutputPort , lv2:AudioPort ;\n        lv2:index " << kLeftOutputPort
      << " ;\n        lv2:symbol \"out_left\" ;\n        lv2:name \"Left Output\"\n    ] ,\n    ";
  out << "[\n        a lv2:OutputPort , lv2:AudioPort ;\n        lv2:index " << kRightOutputPort
      << " ;\n        lv2:symbol \"out_right\" ;\n        lv2:name \"Right Output\"\n    ] ,\n    ";
  out << "[\n        a lv2:InputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports midi:MidiEvent , time:Position ;\n        lv2:designation lv2:control ;\n"
      << "        lv2:index " << kEventInputPort << " ;\n        lv2:symbol \"events\" ;\n"
      << "        lv2:name \"Events\"\n    ] .\n\n";
  out << uri(kUiUri) << "\n    a ui:X11UI ;\n"
      << "    lv2:requiredFeature ui:idleInterface , ui:parent , " << kInstanceAccess << " ;\n"
      << "    lv2:optionalFeature ui:resize , ui:touch ;\n"
      << "    lv2:extensionData ui:idleInterface .\n\n";
  // The programs extension is published outside LV2: its terms are typed here for validators.
  out << kProgramsInterface << "\n    a lv2:ExtensionData .\n\n" << kProgramsHost << "\n    a lv2:Feature .\n";
  return out.str();
}

std::string presets(const std::vector<PresetBank>& banks, const std::vector<std::string>& symbols) {
  std::ostringstream out;
  out << kPrefixes;
  for (const PresetBank& bank : banks) {
    out << uri(bankUri(bank)) << "\n    a pset:Bank ;\n    lv2:appliesTo " << uri(kPluginUri) << " ;\n    rdfs:label "
        << quoted(bank.name) << " .\n\n";
    for (const PresetProgram& program : bank.programs) {
      out << uri(presetUri(bank, program)) << "\n    a pset:Preset ;\n    lv2:appliesTo " << uri(kPluginUri)
          << " ;\n    rdfs:label " << quoted(program.name) << " ;\n    pset:bank " << uri(bankUri(bank));
      if (!program.description.empty()) out << " ;\n    rdfs:comment " << quoted(program.description);
      out << " ;\n    lv2:port ";
      for (std::int32_t i = 0; i < kParameterCount; ++i)
        out << (i == 0 ? "" : " ,\n        ") << "[ lv2:symbol " << quoted(symbols[i]) << " ; pset:value "
            << presetValue(program.values[i]) << " ]";
      out << " .\n\n";
    }
  }
  return out.str();
}

bool checkBanks(const std::vector<PresetBank>& banks, std::string& problem) {
  std::set<std::string> bankUris;
  std::set<std::string> presetUris;
  for (const PresetBank& bank : banks) {
    if (uriSlug(bank.name).empty() || !bankUris.insert(bankUri(bank)).second) {
      problem = "the bank name \"" + bank.name + "\" is empty or not unique";
      return false;
    }
    for (const PresetProgram& program : bank.programs) {
      if (uriSlug(program.name).empty() || !presetUris.insert(presetUri(bank, program)).second) {
        problem = "the preset name \"" + program.name + "\" is empty or not unique in bank \"" + bank.name + "\"";
        return false;
      }
    }
  }
  return true;
}

}  // namespace

std::string uriSlug(const std::string& name) {
  std::string slug;
  for (char c : name) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (c >= 'A' && c <= 'Z') {
      slug += static_cast<char>(c - 'A' + 'a');
    } else if (keep) {
      slug += c;
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

std::vector<TurtleFile> makeTurtleFiles(const std::string& binaryName, const BundleVersion& version,
                                        const std::vector<PresetBank>& banks, std::string& problem) {
  std::vector<std::string> symbols;
  if (!makeSymbols(symbols, problem) || !checkBanks(banks, problem)) return {};
  std::vector<TurtleFile> files = {{"manifest.ttl", manifest(binaryName, banks)},
                                   {"brume7.ttl", plugin(version, symbols, problem)},
                                   {"presets.ttl", presets(banks, symbols)}};
  if (!problem.empty()) return {};
  return files;
}

}  // namespace brume::lv2
