#include "tools/brume7-host/plugins/Plugin.h"

#include <vector>

#include "tools/brume7-host/commands/ParameterAssignment.h"

namespace brume {

int Plugin::findParameter(const std::string& key) {
  std::vector<std::string> names;
  for (int index = 0; index < parameterCount(); ++index) names.push_back(parameterName(index));
  return brume::findParameter(names, key);
}

}  // namespace brume
