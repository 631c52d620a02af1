# Shared by the scripts that run Windows programs under wine with windows on screen. Source it after
# lib.sh; do not run it.
#
# klxr_start_xvfb [XVFB OPTIONS...]: starts an X server of its own on the first free display from
# :90 on and exports DISPLAY; the caller stops it with klxr_stop_xvfb (an EXIT trap).
# klxr_prepare_wine_prefix <wine dir>: boots $WINEPREFIX once, gives it the fonts that make dialog
# units come out as on Windows and unmanaged windows (each closed window costs no wait, and the
# screenshots show their frames).

KLXR_XVFB_PID=""

klxr_start_xvfb() {
  local display=90
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp "$@" >/dev/null 2>&1 &
  KLXR_XVFB_PID=$!
  export DISPLAY=":${display}"
  local waited=0
  until [ -e "/tmp/.X11-unix/X${display}" ]; do
    if [ $waited -ge 100 ] || ! kill -0 "$KLXR_XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start on $DISPLAY" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
}

klxr_stop_xvfb() {
  if [ -n "$KLXR_XVFB_PID" ]; then
    kill "$KLXR_XVFB_PID" 2>/dev/null || true
    wait "$KLXR_XVFB_PID" 2>/dev/null || true
    KLXR_XVFB_PID=""
  fi
}

klxr_prepare_wine_prefix() {
  local wine_dir="$1"
  mkdir -p "$WINEPREFIX"
  # wineboot's exit status says nothing useful; the prefix's files do.
  "$wine_dir/wine64" wineboot --init >/dev/null 2>&1 || true
  if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
    echo "wine could not set up its prefix in $WINEPREFIX" >&2
    return 1
  fi
  "$wine_dir/wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
}
