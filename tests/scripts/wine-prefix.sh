# Sourced by the scripts that run the Windows builds (with root set to the
# repository): a private wine prefix under build-win64 without a display.
# Wine's null graphics driver still creates windows, so message boxes open
# and can be answered by the session driver. Defines windows_path.
export WINEPREFIX="$root/build-win64/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# The first wine run on a machine can refuse the registry write while the
# new prefix is still being set up, so the write is tried again after wine
# has settled; the registry reaches user.reg when wineserver exits.
prefix_ready() { grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null; }
if ! prefix_ready; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  for _ in 1 2 3; do
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 && break
    wineserver -w
    sleep 2
  done
  wineserver -w
  if ! prefix_ready; then
    echo "FAILED: the wine prefix $WINEPREFIX could not be set up" >&2
    exit 1
  fi
fi

# Windows name of a path of this machine (wine maps drive Z: to /).
windows_path() {
  local path
  path=$(realpath "$1")
  printf 'Z:%s' "${path//\//\\}"
}
