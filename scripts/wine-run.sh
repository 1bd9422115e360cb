#!/usr/bin/env bash
# Runs one Windows executable under Wine with the project's settings:
#   a private prefix (created on first use), no debug chatter, no Mono/Gecko
#   prompts, and the ANSI code page asked for by NY_CODEPAGE (932 by default,
#   or 1252). NY_LOCALE names a host locale outright instead (de_DE.UTF-8
#   gives Wine a German user locale, with a decimal comma, and code page 1252).
# Usage: wine-run.sh --prefix DIR program.exe [args...]
#        wine-run.sh --prefix DIR --prepare   (only creates the prefix)
set -euo pipefail

prefix=""
if [ "${1:-}" = "--prefix" ]; then
  prefix=$2
  shift 2
fi
[ -n "$prefix" ] || prefix="${WINEPREFIX:-$PWD/wineprefix}"
[ $# -ge 1 ] || { echo "usage: $0 --prefix DIR program.exe [args...] | --prepare" >&2; exit 2; }

case "${NY_CODEPAGE:-932}" in
  932)  locale=ja_JP.UTF-8 ;;
  1252) locale=en_US.UTF-8 ;;
  *) echo "wine-run: unknown NY_CODEPAGE '${NY_CODEPAGE}' (932 or 1252)" >&2; exit 2 ;;
esac
[ -z "${NY_LOCALE:-}" ] || locale=$NY_LOCALE

mkdir -p "$(dirname "$prefix")"
export WINEPREFIX
WINEPREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Tests run in parallel: only one of them may create or amend the prefix.
# Xvfb runs no window manager, and in its default managed mode Wine's X11
# driver then waits about 2 s for one each time a captioned window is hidden
# or destroyed, and leaves frames and captions undrawn; Managed=N makes Wine
# draw and manage its windows itself. Prefixes made before this setting get
# it on their next run (found missing by a look at user.reg, which wineserver
# writes when it exits: `wineserver -w` waits for that).
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  if ! awk '/^\[/ { inKey = ($0 ~ /^\[Software\\\\Wine\\\\X11 Driver\]/) }
            inKey && /^"Managed"="N"/ { found = 1 }
            END { exit !found }' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"
[ "$1" != "--prepare" ] || exit 0

# Wine takes its ANSI code page from the locale name alone; the locale need
# not be generated on this machine (set here, not in this shell, which would
# warn about it).
exec env LC_ALL="$locale" wine "$@"
