// Reads each settings file given both ways under Windows: through the system's profile
// functions, whose rules the plug-in's reader follows, and through that reader, as the DLL
// reads it. Prints each file whose settings differ and exits 1 if any does.
//
//   vantor-profile-oracle FILE...
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "settings/settings.h"
#include "unit/arithmetic.h"

namespace {

using vantor::UnitSettings;

UnitSettings throughProfileFunctions(const char* path) {
    const float speed = static_cast<float>(GetPrivateProfileIntA("SetSpec", "Speed", 125, path));
    char deceleration[vantor::kSettingTextLength + 1];
    char rtime[vantor::kSettingTextLength + 1];
    GetPrivateProfileStringA("SetSpec", "Deceleration", "2.50", deceleration, sizeof deceleration,
                             path);
    GetPrivateProfileStringA("SetSpec", "Rtime", "1.00", rtime, sizeof rtime, path);
    return UnitSettings{
        static_cast<double>(speed),
        static_cast<double>(vantor::roundToFloat(vantor::decimalPrefix(deceleration))),
        vantor::decimalPrefix(rtime),
        static_cast<int32_t>(GetPrivateProfileIntA("Disp", "Resolution", 60, path)),
        static_cast<int32_t>(GetPrivateProfileIntA("LED", "MaxSpd", 140, path)),
    };
}

UnitSettings throughTheReader(const char* path) {
    static char buffer[vantor::kSettingsFileLimit];
    wchar_t widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0) {
        widePath[0] = 0;
    }
    return vantor::readSettings(vantor::readSettingsFile(widePath, buffer, sizeof buffer));
}

void print(const char* what, const UnitSettings& s) {
    std::printf("  %-17s Speed %.17g  Deceleration %.17g  Rtime %.17g  Resolution %d  MaxSpd %d\n",
                what, s.maxSpeed, s.deceleration, s.reactionTime, s.displayResolution,
                s.displayMaxSpeed);
}

} // namespace

int main(int argc, char** argv) {
    int differing = 0;
    for (int i = 1; i < argc; ++i) {
        const UnitSettings system = throughProfileFunctions(argv[i]);
        const UnitSettings reader = throughTheReader(argv[i]);
        // Bit for bit: the same settings file must give the very same numbers.
        if (std::memcmp(&system.maxSpeed, &reader.maxSpeed, sizeof(double)) == 0 &&
            std::memcmp(&system.deceleration, &reader.deceleration, sizeof(double)) == 0 &&
            std::memcmp(&system.reactionTime, &reader.reactionTime, sizeof(double)) == 0 &&
            system.displayResolution == reader.displayResolution &&
            system.displayMaxSpeed == reader.displayMaxSpeed) {
            continue;
        }
        ++differing;
        std::printf("DIFFERS %s\n", argv[i]);
        print("profile functions", system);
        print("plug-in reader", reader);
    }
    std::printf("%d of %d settings files read the same through the profile functions\n",
                argc - 1 - differing, argc - 1);
    return differing == 0 ? 0 : 1;
}
