# The Windows release package: the cross build of the DLL and the test bench, their export and
# import tables, the bench from the unzipped package under wine against the Linux bench on
# every line, the bench in a console of its own (a dropped scenario, Ctrl-C, DLLs it cannot
# load), the scripted sessions and settings cases through both libraries, then the
# settings reader against the system's profile functions, a DLL in a folder named in
# Japanese, and the DLL's state saved and restored.
set -euo pipefail
cmake --preset windows
cmake --build --preset windows
tests/windows/check_binaries.sh build/windows
package=$(cd build/windows && cpack -G ZIP | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
# The Linux side of the comparisons: the library, the bench and the session host of the
# default build.
cmake --preset default >/dev/null
cmake --build --preset default --target vantor vantor-sim vantor-session-host
timeout 600 tests/windows/compare_sim_with_wine.sh build/default "$package" build/wine-work
timeout 600 tests/windows/sim_console_under_wine.sh "$package" build/wine-work
timeout 600 tests/windows/compare_with_wine.sh build/default build/windows build/wine-work
tests/windows/settings_under_wine.sh build/default build/windows build/wine-work
tests/windows/snapshot_under_wine.sh build/windows build/wine-work
