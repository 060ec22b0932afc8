# The Windows DLL: the cross build, its export and import tables, and every scripted session
# and settings case played through it under wine and through the Linux library, with
# identical traces required; then the settings reader against the system's profile functions,
# and a DLL in a folder named in Japanese.
set -euo pipefail
cmake --preset windows
cmake --build --preset windows
tests/windows/check_dll.sh build/windows
# The Linux side of the comparison: the library and the session host of the default build.
cmake --preset default >/dev/null
cmake --build --preset default --target vantor vantor-session-host
timeout 600 tests/windows/compare_with_wine.sh build/default build/windows build/wine-work
tests/windows/settings_under_wine.sh build/default build/windows build/wine-work
