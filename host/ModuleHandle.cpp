#include "host/ModuleHandle.h"

namespace brume {

void* ModuleHandle = nullptr;

}  // namespace brume
