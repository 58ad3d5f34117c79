#include <new>

#include "host/PluginEntry.h"
#include "instrument/Instrument.h"

namespace brume {

EffectBase* createEffectInstance(audioMasterCallback hostCallback) {
  return new (std::nothrow) Instrument(hostCallback);
}

}  // namespace brume
