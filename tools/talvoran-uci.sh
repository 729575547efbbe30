#!/bin/sh
# The engine as an installed program for any GUI: starts talvoran-lf (the
# line-feed build that Linux GUIs need) in a per-user folder, because the
# engine reads Data/ from its working directory and writes its log there.
# The folder, $XDG_DATA_HOME/talvoran (~/.local/share/talvoran), gets a copy
# of the shipped Data/ at the first start and keeps it, edits included. The
# shipped Data/ is the one beside the launcher in an unpacked package, else
# the installed share/talvoran/Data.
set -eu
bin=$(dirname "$(readlink -f "$0")")
share="$bin/../share/talvoran"
if [ -d "$bin/Data" ]; then
  share=$bin
fi
home="${XDG_DATA_HOME:-$HOME/.local/share}/talvoran"
if [ ! -d "$home/Data" ]; then
  # Copied aside and renamed, so that two engines started at once by a
  # match never see half a folder.
  mkdir -p "$home"
  copy=$(mktemp -d "$home/.Data.XXXXXX")
  cp -R "$share/Data/." "$copy"
  mv -T "$copy" "$home/Data" 2>/dev/null || rm -rf "$copy"
fi
cd "$home"
exec "$bin/talvoran-lf" "$@"
