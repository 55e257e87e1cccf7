# Sourced by the scripts that run Windows programs: a fresh Wine prefix and, without a display,
# a private Xvfb screen. Call wine_env_stop when done.
#   source scripts/wine-env.sh [PREFIX_DIR]
# REKAL_DPI=144 (or 120, 192...) sets the prefix's screen density (LogPixels) to run the program as
# on a display scaled to 150 % (125 %, 200 %...); without it the prefix stays at 96 dpi.

export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv=d;mscoree,mshtml="
# A prefix made here is removed by wine_env_stop (each is some 700 MB); one given is kept.
REKAL_OWN_PREFIX=""
if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1
else
    export WINEPREFIX=$(mktemp -d /tmp/rekal-wine.XXXXXX)
    REKAL_OWN_PREFIX=$WINEPREFIX
fi
REKAL_XVFB_PID=""
# The screen (and Wine's desktop) of 1024 x 768 at 96 dpi, as much larger as the density asks.
REKAL_SCREEN="$((1024 * ${REKAL_DPI:-96} / 96))x$((768 * ${REKAL_DPI:-96} / 96))"

if [ -z "${DISPLAY:-}" ] || [ "${REKAL_XVFB:-0}" = 1 ]; then
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 "${REKAL_SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
            REKAL_XVFB_PID=$!
            export DISPLAY=":$n"
            break
        fi
    done
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager: a virtual desktop spares the wait for hidden top-level windows. Japanese
    # faces the program asks for are mapped to the IPA fonts, whatever the locale. The system's
    # own faces (menus, captions, message boxes, dialogs) are linked to the IPA font as a Windows
    # system with Japanese support links them, so that under any display language the characters
    # they lack come from it. (A substitution would not do: Wine brings its own Tahoma.)
    link=$(printf '%s\0' "ipagp.ttf,IPAPGothic" "ipag.ttf,IPAGothic" "" | iconv -f UTF-8 -t UTF-16LE |
        od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
    reg=$(mktemp /tmp/rekal-reg.XXXXXX)
    {
        echo 'Windows Registry Editor Version 5.00'
        echo
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
        for face in "Tahoma" "Tahoma Bold" "Microsoft Sans Serif" "MS Sans Serif" "Segoe UI" "Arial" \
            "MS Shell Dlg" "MS Shell Dlg 2" "Lucida Sans Unicode"; do
            echo "\"$face\"=hex(7):$link"
        done
        echo
    } >"$reg.links"
    cat >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
REG
    tail -n +2 "$reg.links" >>"$reg"
    iconv -f UTF-8 -t UTF-16 "$reg" >"$reg.utf16"
    wine regedit /S "$(winepath -w "$reg.utf16" 2>/dev/null)" >/dev/null 2>&1 || true
    rm -f "$reg" "$reg.utf16" "$reg.links"
    # The desktop process that wineboot started predates these settings: let it go.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    ln -sf /usr/share/fonts/opentype/ipafont-gothic/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
if [ -n "${REKAL_DPI:-}" ]; then
    reg=$(mktemp /tmp/rekal-reg.XXXXXX)
    hex=$(printf '%08x' "$REKAL_DPI")
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"LogPixels"=dword:%s\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%s\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="%s"\n' \
        "$hex" "$hex" "$REKAL_SCREEN" >"$reg"
    # The running desktop keeps the density it started with: the server goes after each write,
    # which also saves the registry to check that the value arrived.
    for _ in 1 2 3; do
        wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        grep -q "\"LogPixels\"=dword:$hex" "$WINEPREFIX/user.reg" 2>/dev/null && break
    done
    rm -f "$reg"
fi
# Wine's service processes must not inherit the callers' output pipes.
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "$REKAL_XVFB_PID" ]; then kill "$REKAL_XVFB_PID" 2>/dev/null || true; fi
    if [ -n "$REKAL_OWN_PREFIX" ]; then rm -rf "$REKAL_OWN_PREFIX"; fi
}
