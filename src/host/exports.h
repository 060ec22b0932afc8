// The sixteen functions the host calls. C calling convention, undecorated names, records by
// value. Tools include this header to know the signatures; they resolve the functions at run
// time by name.
#pragma once

#include "host_records.h"

// The library is built with hidden visibility; only these names leave it. On Windows a module
// definition file lists them instead.
#if defined(VANTOR_BUILDING_PLUGIN) && !defined(_WIN32)
#define VANTOR_API __attribute__((visibility("default")))
#else
#define VANTOR_API
#endif

extern "C" {

VANTOR_API void Load();
VANTOR_API void Dispose();
VANTOR_API int32_t GetPluginVersion();
VANTOR_API void SetVehicleSpec(VehicleSpec vehicle);
VANTOR_API void Initialize(int32_t brake);
VANTOR_API Handles Elapse(VehicleState state, int32_t* panel, int32_t* sound);
VANTOR_API void SetPower(int32_t notch);
VANTOR_API void SetBrake(int32_t notch);
VANTOR_API void SetReverser(int32_t position);
VANTOR_API void KeyDown(int32_t key);
VANTOR_API void KeyUp(int32_t key);
VANTOR_API void HornBlow(int32_t horn);
VANTOR_API void DoorOpen();
VANTOR_API void DoorClose();
VANTOR_API void SetSignal(int32_t signal);
VANTOR_API void SetBeaconData(BeaconData beacon);

} // extern "C"

namespace vantor {

// Function-pointer types for hosts and tools that load the library at run time.
using LoadFn = void(*)();
using DisposeFn = void(*)();
using GetPluginVersionFn = int32_t(*)();
using SetVehicleSpecFn = void(*)(VehicleSpec);
using InitializeFn = void(*)(int32_t);
using ElapseFn = Handles(*)(VehicleState, int32_t*, int32_t*);
using SetInt32Fn = void(*)(int32_t);
using VoidFn = void(*)();
using SetBeaconDataFn = void(*)(BeaconData);

inline constexpr const char* kExportNames[16] = {
    "Load",        "Dispose",  "GetPluginVersion", "SetVehicleSpec", "Initialize", "Elapse",
    "SetPower",    "SetBrake", "SetReverser",      "KeyDown",        "KeyUp",      "HornBlow",
    "DoorOpen",    "DoorClose", "SetSignal",       "SetBeaconData"};

} // namespace vantor
