#pragma once
// The handle of the loaded plug-in module, written by the module load entry.
// The GUI toolkit reads it to find the module's resources and name its window class.

namespace brume {

extern void* ModuleHandle;

}  // namespace brume
