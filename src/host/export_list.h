// The sixteen functions the host calls, listed once. The declarations and kExportNames
// (exports.h), the names the library lets out (the version script and the module definition
// file, which CMake writes from this list: cmake/plugin-exports.cmake) and the loader's
// resolution of them are all made from it. One entry per line, starting with X(.
//
// VANTOR_EXPORTS(X) calls X(name, callerName, result, parameters) for each, in the host's order:
// callerName is the name that a program holding the function as a pointer gives it.
#pragma once

#define VANTOR_EXPORTS(X)                                                                          \
    X(Load, load, void, ())                                                                        \
    X(Dispose, dispose, void, ())                                                                  \
    X(GetPluginVersion, getPluginVersion, int32_t, ())                                             \
    X(SetVehicleSpec, setVehicleSpec, void, (VehicleSpec vehicle))                                 \
    X(Initialize, initialize, void, (int32_t brake))                                               \
    X(Elapse, elapse, Handles, (VehicleState state, int32_t * panel, int32_t * sound))             \
    X(SetPower, setPower, void, (int32_t notch))                                                   \
    X(SetBrake, setBrake, void, (int32_t notch))                                                   \
    X(SetReverser, setReverser, void, (int32_t position))                                          \
    X(KeyDown, keyDown, void, (int32_t key))                                                       \
    X(KeyUp, keyUp, void, (int32_t key))                                                           \
    X(HornBlow, hornBlow, void, (int32_t horn))                                                    \
    X(DoorOpen, doorOpen, void, ())                                                                \
    X(DoorClose, doorClose, void, ())                                                              \
    X(SetSignal, setSignal, void, (int32_t signal))                                                \
    X(SetBeaconData, setBeaconData, void, (BeaconData beacon))
