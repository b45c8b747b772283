#!/usr/bin/env bash
# Runs a test program on a player's desktop as a laptop shows it: a virtual X
# server of a given screen size, a window manager that frames the windows (its
# title bars count) with a 40-pixel panel along the bottom edge, and the
# system's sans-serif set to a given family by a fontconfig file of the run's
# own. The program runs once per screen size, each on a fresh server.
#
# Usage: xdesktop.sh FAMILY SIZE[,SIZE...] PROGRAM [ARGS...]
#   e.g. xdesktop.sh "Noto Sans" 1366x768,1280x720 build/bin/test_x window
# Ends with the first failing run's code, 0 when all pass, and 77 (a skip for
# CTest) only when there is no Xvfb to run on.
set -uo pipefail
family=$1 sizes=$2
shift 2
command -v Xvfb >/dev/null || { echo "xdesktop: Xvfb is not installed (tools/install-deps.sh installs it)"; exit 77; }
command -v openbox >/dev/null || { echo "xdesktop: openbox is not installed (tools/install-deps.sh installs it)"; exit 1; }

work=$(mktemp -d)
xpid= wmpids=()
stop() {
    for pid in "${wmpids[@]}" $xpid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
}
trap 'stop; rm -rf "$work"' EXIT

# The system's fonts and rules as they are, with the family preferred for
# sans-serif where a desktop's settings would put it (before the distribution's
# own preferences, which only add to the list behind it).
mkdir -p "$work/conf.d" "$work/cache" "$work/config/openbox" "$work/runtime"
chmod 700 "$work/runtime"
for f in /etc/fonts/conf.d/*.conf; do ln -s "$f" "$work/conf.d/"; done
cat >"$work/conf.d/55-desktop-sans.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="strong"><family>sans-serif</family><prefer><family>$family</family></prefer></alias>
</fontconfig>
EOF
cat >"$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <cachedir>$work/cache</cachedir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <include ignore_missing="yes">$work/conf.d</include>
</fontconfig>
EOF
# The window manager's own settings, with a panel's room kept free.
cat >"$work/config/openbox/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>40</bottom><left>0</left><right>0</right></margins>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <desktops><number>1</number></desktops>
</openbox_config>
EOF

# Waits up to 10 s for a command to succeed.
await() {
    for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# One server with a screen of each size (it picks a free display and writes
# its number), a window manager on each screen.
IFS=, read -ra screens <<<"$sizes"
args=()
for i in "${!screens[@]}"; do args+=(-screen "$i" "${screens[$i]}x24"); done
Xvfb -displayfd 3 "${args[@]}" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xpid=$!
if ! await test -s "$work/display"; then
    echo "xdesktop: Xvfb did not start:"; cat "$work/xvfb.log"; exit 1
fi
display=":$(head -n1 "$work/display")"
for i in "${!screens[@]}"; do
    DISPLAY=$display.$i XDG_CONFIG_HOME=$work/config openbox --sm-disable >>"$work/wm.log" 2>&1 &
    wmpids+=($!)
done
# A manager is up once it has named itself on its screen's root window.
for i in "${!screens[@]}"; do
    if ! await bash -c "DISPLAY=$display.$i xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"; then
        echo "xdesktop: the window manager did not start:"; cat "$work/wm.log"; exit 1
    fi
done

status=0
for i in "${!screens[@]}"; do
    echo "== ${screens[$i]}, sans-serif $family"
    DISPLAY=$display.$i QT_QPA_PLATFORM=xcb FONTCONFIG_FILE=$work/fonts.conf XDG_RUNTIME_DIR=$work/runtime \
        LONTARIS_DESKTOP_FONT=$family "$@"
    rc=$?
    ((rc != 0 && status == 0)) && status=$rc
done
exit $status
