# Shared set-up for running Windows programs under wine64 on Linux.
# Source it; it defines WINE64 and the functions below.
#
#   dsq_wine_prefix DIR   make DIR a fresh Wine prefix (a copy of a cached template)
#   dsq_gbk_locale        print "LOCPATH=... LC_ALL=zh_CN.UTF-8" for code page 936
#
# The cache lives in $DSQ_CACHE (default ~/.cache/disk-space-query).

WINE64=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=d"
DSQ_CACHE=${DSQ_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/disk-space-query}

dsq_wine_version() { "$WINE64" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_'; }

# A prefix made once per Wine version: created, told to draw window frames
# itself (no window manager runs in tests), then copied for every run.
dsq_template_prefix() {
  local template="$DSQ_CACHE/prefix-$(dsq_wine_version)"
  if [ ! -f "$template/.complete" ]; then
    mkdir -p "$DSQ_CACHE"
    local building
    building=$(mktemp -d "$DSQ_CACHE/prefix-building.XXXXXX")
    WINEPREFIX="$building" "$WINE64" wineboot -i >/dev/null 2>&1
    cat > "$building/decorated.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
REG
    WINEPREFIX="$building" "$WINE64" regedit /S 'Z:\'"$(echo "$building/decorated.reg" | tr '/' '\\')" >/dev/null 2>&1
    WINEPREFIX="$building" /usr/lib/wine/wineserver -w
    touch "$building/.complete"
    rm -rf "$template"
    mv "$building" "$template" 2>/dev/null || rm -rf "$building"
  fi
  echo "$template"
}

dsq_wine_prefix() {
  local target="$1" template
  template=$(dsq_template_prefix)
  rm -rf "$target"
  cp -a "$template" "$target"
}

dsq_gbk_locale() {
  local locales="$DSQ_CACHE/locale"
  if [ ! -d "$locales/zh_CN.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >/dev/null 2>&1 || true
  fi
  echo "LOCPATH=$locales LC_ALL=zh_CN.UTF-8"
}
