# Sourced by the wine comparisons: a quiet wine with its own prefix under WORK_DIR, created on
# first use, and its server ended with the calling script.
#
#   source wine_prefix.sh WORK_DIR

for tool in wine wineboot wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool not found: scripts/install-deps.sh installs it" >&2; exit 1; }
done

mkdir -p "$1"
export WINEPREFIX=$(realpath "$1")/prefix
export WINEDEBUG=-all
# No mono or gecko installers, no window: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Wine takes the command line and file names from the Unix side in this locale's encoding, and
# its Windows code page from it too: 1252, which cannot spell the Japanese folder names used.
export LC_ALL=C.UTF-8
wine_timeout=300

# The wine server of this prefix outlives the programs by a few seconds; end it with the script.
trap 'wineserver -k 2>/dev/null || true' EXIT

windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "creating wine prefix $WINEPREFIX"
  timeout 300 wineboot -i </dev/null >"$1/wineboot.log" 2>&1 || {
    echo "wineboot failed:" >&2; cat "$1/wineboot.log" >&2; exit 1; }
fi
