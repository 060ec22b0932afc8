# The Linux library, the tools and the unit and host tests (gcc).
set -euo pipefail
cmake --preset default
cmake --build --preset default
ctest --preset default -j "$(nproc)"
