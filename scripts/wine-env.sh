# Sourced by the scripts that run Windows programs: a Wine prefix of the
# project's own and a persistent Wine server, so each program starts fast.
export WINEPREFIX="${WINEPREFIX:-${HOME:-/tmp}/.cache/trovel-wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"

wine_start() {
  /usr/lib/wine/wineserver -p 2>/dev/null || true
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
}

wine_stop() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
}
