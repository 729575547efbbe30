# Sourced by the scripts that run the Windows builds (with root set to the
# repository): a private wine prefix under build-win64 without a display.
# Wine's null graphics driver still creates windows, so message boxes open
# and can be answered by the session driver. Defines windows_path.
export WINEPREFIX="$root/build-win64/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/user.reg" ] || ! grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
fi

# Windows name of a path of this machine (wine maps drive Z: to /).
windows_path() {
  local path
  path=$(realpath "$1")
  printf 'Z:%s' "${path//\//\\}"
}
