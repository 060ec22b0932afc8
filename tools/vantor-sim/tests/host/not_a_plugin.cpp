// A shared library that has some of the plug-in's exports but not all sixteen.
extern "C" __attribute__((visibility("default"))) void Load() {}
extern "C" __attribute__((visibility("default"))) void Dispose() {}
