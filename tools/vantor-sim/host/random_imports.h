// On Windows the plug-in's calls to srand and rand go through its DLL's import table, which
// the bench points at seedRandom and drawRandom once the DLL is loaded. Only that DLL's
// imports change; other DLLs in the process call the C runtime as before.
#pragma once

namespace vantor::sim {

// module is the loaded DLL's HMODULE. Returns whether the DLL imports rand, that is whether
// its draws can be pinned. Call it once, for the one plug-in the bench loads.
bool redirectRandomImports(void* module);

} // namespace vantor::sim
