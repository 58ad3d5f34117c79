#include "tools/brume7-host/plugins/OpenPlugin.h"

#include <sys/stat.h>

#include <cctype>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/plugins/vst2/PlayHostContext.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"

#ifdef BRUME_HOST_WITH_LV2
#include "tools/brume7-host/plugins/lv2/Lv2Plugin.h"
#endif

namespace brume {
namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "urn:...", "http://...": a scheme of two or more characters, so that "C:\x" stays a file.
bool looksLikeUri(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = text[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

PluginFormat pluginFormatOf(const std::string& location) {
  struct stat status {};
  if (stat(location.c_str(), &status) == 0) return S_ISDIR(status.st_mode) ? PluginFormat::Lv2 : PluginFormat::Vst2;
  if (endsWith(location, ".lv2") || endsWith(location, ".lv2/") || looksLikeUri(location)) return PluginFormat::Lv2;
  return PluginFormat::Vst2;
}

std::unique_ptr<Plugin> openPlugin(const std::string& location, const HostSettings& settings, PluginUse use) {
  const std::string where = location.empty() ? defaultPluginPath() : location;
  if (pluginFormatOf(where) == PluginFormat::Lv2) {
#ifdef BRUME_HOST_WITH_LV2
    struct stat status {};
    const bool folder = stat(where.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return std::make_unique<Lv2Plugin>(where, !folder && looksLikeUri(where), settings);
#else
    throw ToolError("'" + where + "' names an LV2 plug-in, and this brume7-host was built without LV2 (lilv)");
#endif
  }
  std::unique_ptr<HostContext> host =
      use == PluginUse::Live ? std::make_unique<PlayHostContext>(settings) : std::make_unique<HostContext>(settings);
  return std::make_unique<Vst2Plugin>(where, std::move(host));
}

}  // namespace brume
