# Sourced: a fresh throwaway Wine prefix with the Japanese code page, torn down on exit.
# Expects to run under an X display (xvfb-run).
# Without the ja_JP.UTF-8 locale Wine cannot map Japanese file names to Unix names
# (creating a folder named in Shift-JIS fails with "path not found").
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  export LOCPATH=/tmp/zv-locale
  mkdir -p "$LOCPATH"
  if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
    # Built aside and moved in whole, so a parallel run never sees half a locale.
    localedef -i ja_JP -f UTF-8 "$LOCPATH/tmp.$$" >/dev/null 2>&1 &&
      mv -T "$LOCPATH/tmp.$$" "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || rm -rf "$LOCPATH/tmp.$$"
  fi
fi
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# ZV_WINEARCH=win64 gives a 64-bit prefix, where the 32-bit programs run under WoW64.
export WINEARCH=${ZV_WINEARCH:-win32}
export WINEPREFIX=$(mktemp -d /tmp/zv-wine.XXXXXX)

wine_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap wine_cleanup EXIT

# Wine draws the caption buttons with its own Marlett font (fonts-wine), which it does not
# find in its data folder here: without it the close button is a plain letter.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
wineboot -i >/dev/null 2>&1
# Without a window manager, managed windows are slow to close and have no frame.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A crash must fail its test at once, not wait in the debugger until the test times out.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
wineserver -w
# A server or service started with inherited output makes ctest wait for it forever:
# start both here, with their output discarded, and keep them for the whole run.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
