#!/usr/bin/env bash
# tests/packaging/deb_install_test.sh BUILD_DIR SOURCE_DIR [CPACK]
#
# Packs the build tree into a .deb, checks what the package holds, installs it
# into a scratch root with dpkg's own admin directory, runs the installed
# nsw-sim on a free loopback port and the installed nsw-module (offscreen,
# through its /usr/bin link) against it, checks that the module polled the
# switch and saved its picture, and removes the package again.
# Works as root and as an ordinary user; talks only to 127.0.0.1.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
cpack=${3:-cpack}

work=$(mktemp -d "${TMPDIR:-/tmp}/nsw-deb-test.XXXXXX")
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

problems=0
problem() {
  echo "FAIL: $*" >&2
  problems=$((problems + 1))
}
fatal() {
  echo "FAIL: $*" >&2
  exit 1
}
show() { sed 's/^/    /' "$1" >&2; }

# --- the package -------------------------------------------------------------
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1 ||
  { show "$work/cpack.log"; fatal "cpack failed"; }
debs=("$work"/pack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fatal "cpack made ${#debs[@]} .deb files"
deb=${debs[0]}
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

field() { dpkg-deb -f "$deb" "$1"; }
package=$(field Package)
[ "$package" = nsw4410 ] || problem "package name '$package'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || problem "architecture '$(field Architecture)'"
[ "$(field Section)" = net ] || problem "section '$(field Section)'"
[ -n "$(field Version)" ] || problem "no version"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || problem "maintainer '$(field Maintainer)'"
description=$(field Description)
[[ "$description" == *$'\n'* ]] || problem "the description has no long part"
if awk 'length > 80 { found = 1 } END { exit !found }' <<<"$description"; then
  problem "description lines over 80 columns"
fi
depends=$(field Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 'libsnmp[0-9]+'; do
  pattern=", ${library}(t64)?[ ,]"
  [[ ", $depends," =~ $pattern ]] || problem "Depends lacks $library: $depends"
done
dpkg-deb -I "$deb" | grep -E ' md5sums *$' >/dev/null || problem "no md5sums in the control part"

# Contents as "mode path" lines; tar lists "mode owner size date time ./path
# [-> target]" and model folders hold blanks.
dpkg-deb -c "$deb" >"$work/contents"
sed -E 's/^([^ ]+) [^ ]+ +[0-9]+ [^ ]+ [^ ]+ \.(.*)$/\1 \2/; s/ -> .*$//; s|/$||' \
  "$work/contents" >"$work/entries"
awk '$2 != "root/root"' "$work/contents" >"$work/not-root"
if [ -s "$work/not-root" ]; then show "$work/not-root"; problem "files not owned by root"; fi
layout=(
  '' /usr /usr/bin '/usr/bin/[^/]+' /usr/lib '/usr/lib/nsw4410(/.*)?' /usr/share
  '/usr/share/applications(/[^/]+\.desktop)?' '/usr/share/icons(/hicolor(/.*)?)?'
  '/usr/share/man(/man1(/[^/]+\.1\.gz)?)?' '/usr/share/doc(/nsw4410(/[^/]+)?)?'
)
layout_pattern="^[^ ]+ ($(IFS='|'; echo "${layout[*]}"))$"
grep -vE "$layout_pattern" "$work/entries" >"$work/stray" || true
if [ -s "$work/stray" ]; then show "$work/stray"; problem "files outside the package's layout"; fi
grep -E '(_tests|/bench_[^/]*|fuzz[^/]*|\.a|\.h|\.o)$' "$work/entries" >"$work/unwanted" || true
if [ -s "$work/unwanted" ]; then show "$work/unwanted"; problem "tests, benchmarks, fuzzers or build files packed"; fi

want() {
  grep -Fx -- "$1 $2" "$work/entries" >/dev/null || problem "no $2 with mode $1 in the package"
}
want lrwxrwxrwx /usr/bin/nsw-module
want lrwxrwxrwx /usr/bin/nsw-sim
want -rwxr-xr-x /usr/lib/nsw4410/nsw-module
want -rwxr-xr-x /usr/lib/nsw4410/nsw-sim
want -rw-r--r-- /usr/lib/nsw4410/User.ini
want -rw-r--r-- /usr/share/man/man1/nsw-module.1.gz
want -rw-r--r-- /usr/share/man/man1/nsw-sim.1.gz
want -rw-r--r-- /usr/share/applications/nsw-module.desktop
want -rw-r--r-- /usr/share/icons/hicolor/scalable/apps/nsw-module.svg
want -rw-r--r-- /usr/share/doc/nsw4410/copyright
for profile in "$source"/res/profiles/*/User.ini; do
  folder=$(dirname "$profile")
  want -rw-r--r-- "/usr/lib/nsw4410/profiles/$(basename "$folder")/User.ini"
  # Every panel file also lies beside the module, for any profile copied there.
  for panel in "$folder"/*.XML; do
    want -rw-r--r-- "/usr/lib/nsw4410/$(basename "$panel")"
  done
done
for description in "$source"/res/devconfig/*.XML; do
  want -rw-r--r-- "/usr/lib/nsw4410/$(basename "$description")"
done
# Files 0644 or 0755, folders 0755: nothing writable by others, nothing set-id.
grep -vE '^(-rw-r--r--|-rwxr-xr-x|drwxr-xr-x|lrwxrwxrwx) ' "$work/entries" >"$work/modes" || true
if [ -s "$work/modes" ]; then show "$work/modes"; problem "unusual file modes"; fi

# --- installing it into a scratch root -----------------------------------------
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root=(dpkg "--root=$root" --force-not-root --force-script-chrootless --log=/dev/null)
# The libraries come from this machine, not from the scratch root.
"${dpkg_root[@]}" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { show "$work/dpkg.log"; fatal "dpkg -i failed"; }
status=$(dpkg-query "--admindir=$root/var/lib/dpkg" -W -f='${Status}' "$package")
[ "$status" = "install ok installed" ] || problem "package status '$status'"
dpkg-query "--admindir=$root/var/lib/dpkg" -L "$package" >"$work/listed"
while read -r path; do
  [ -e "$root$path" ] || [ -L "$root$path" ] || problem "dpkg lists $path, the root lacks it"
done <"$work/listed"

lib=$root/usr/lib/nsw4410
[ "$(readlink -f "$root/usr/bin/nsw-module")" = "$(readlink -f "$lib/nsw-module")" ] ||
  problem "/usr/bin/nsw-module does not lead to /usr/lib/nsw4410/nsw-module"

desktop=$root/usr/share/applications/nsw-module.desktop
if ! desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || [ -s "$work/desktop.log" ]; then
  show "$work/desktop.log"
  problem "desktop-file-validate"
fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || problem "the desktop entry starts '$exec_name', not installed in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
shopt -s nullglob
icons=("$root"/usr/share/icons/hicolor/*/apps/"$icon".{svg,png})
shopt -u nullglob
icon_file=${icons[0]:-}
[ -n "$icon_file" ] || problem "no hicolor icon '$icon'"
if [ -n "$icon_file" ] && [[ "$icon_file" == *.svg ]]; then
  python3 -c 'import sys, xml.etree.ElementTree as E
sys.exit(E.parse(sys.argv[1]).getroot().tag != "{http://www.w3.org/2000/svg}svg")' "$icon_file" ||
    problem "the icon is no SVG document"
fi

for page in nsw-module nsw-sim; do
  file=$root/usr/share/man/man1/$page.1.gz
  MANWIDTH=80 man --warnings -E UTF-8 -l "$file" >"$work/$page.txt" 2>"$work/$page.warn" ||
    problem "man $page failed"
  if [ -s "$work/$page.warn" ]; then show "$work/$page.warn"; problem "man $page warns"; fi
  grep -q "^NAME" "$work/$page.txt" || problem "man $page has no NAME section"
  lexgrog "$file" >/dev/null 2>&1 || problem "man $page: whatis cannot read its NAME line"
  if zcat "$file" | grep -E '@[A-Z_]+@' >/dev/null; then problem "man $page keeps a placeholder"; fi
done
"$root/usr/bin/nsw-sim" --help >"$work/sim-help.txt" || problem "nsw-sim --help failed"
# The installed simulator's profiles are its own, not the build machine's
# (the help wraps long words: compare without blanks).
if [[ "$(tr -d ' \n' <"$work/sim-help.txt")" != *"profiles.Default:${lib// /}/profiles."* ]]; then
  problem "nsw-sim does not default to the profiles beside it"
fi
# Every option the installed simulator takes is in its man page.
options=$(grep -oE '^ +(-[a-zA-Z?], )?--[a-z0-9-]+' "$work/sim-help.txt" | grep -oE -- '--[a-z0-9-]+')
[ -n "$options" ] || problem "nsw-sim --help lists no options"
for option in $options; do
  grep -qF -- "$option" "$work/nsw-sim.txt" || problem "man nsw-sim lacks $option: document it in packaging/nsw-sim.1"
done

# --- running what was installed --------------------------------------------------
# Private temporary folder: the single-instance lock and socket of the module
# and the simulator's runtime folder stay out of everybody else's way.
mkdir -p "$work/tmp" "$work/cwd"
export TMPDIR=$work/tmp MIBS= SNMP_PERSISTENT_DIR=$work/tmp/snmp
model=$(sed -n 's/^DeviceName *= *//p' "$lib/User.ini" | tr -d '\r')
[ -n "$model" ] || fatal "the installed User.ini names no model"
port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# No --profiles: the installed simulator must find its own.
"$root/usr/bin/nsw-sim" --model "$model" --listen "127.0.0.1:$port" >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  grep -q "listening" "$work/sim.log" && break
  kill -0 "$sim_pid" 2>/dev/null || { show "$work/sim.log"; fatal "nsw-sim ended at start"; }
  sleep 0.1
done
grep -q "listening on udp:127.0.0.1:$port" "$work/sim.log" || { show "$work/sim.log"; fatal "nsw-sim did not listen"; }
if grep -q "no profile" "$work/sim.log"; then show "$work/sim.log"; problem "the installed nsw-sim found no profile"; fi

shot=$work/panel.png
# From an empty folder, so that the panel file can only come from beside the
# executable; the module closes itself once the picture is saved.
module_rc=0
(cd "$work/cwd" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
  QT_LOGGING_RULES="nsw.trace=true" NSW_SCREENSHOT="$shot" \
  timeout -k 5 40 "$root/usr/bin/nsw-module" "/X/I127.0.0.1/Rralvin/Wquorbet/Vtrue/S2/P$port") \
  >"$work/module.log" 2>&1 || module_rc=$?
if [ "$module_rc" -ne 0 ]; then
  show "$work/module.log"
  problem "nsw-module ended with $module_rc (124: it did not end, e.g. a message box)"
fi
grep -q "screenshot written to $shot" "$work/module.log" || problem "nsw-module saved no picture"
[ "$(head -c 8 "$shot" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  problem "the picture is no PNG file"
if grep -q "panel description .* not loaded" "$work/module.log"; then problem "the installed module found no panel file"; fi
grep -qE "node num = [1-9]" "$work/module.log" || problem "the panel description had no objects"
# A status walk ends at its table's end (3) once the switch has answered it.
grep -q "call back get status = 3" "$work/module.log" || problem "no status walk was answered"
grep -q "RefreshPortStatus" "$work/module.log" || problem "the port status was never refreshed"
[ "$problems" -eq 0 ] || show "$work/module.log"
# The switch's side: it served the module's requests.
served=$(snmpget -v2c -c nsw-control -Oqv -t 2 -r 1 "127.0.0.1:$port" 1.3.6.1.4.1.32473.99.3.5.0 2>&1) || true
[[ "$served" =~ ^[0-9]+$ ]] && [ "$served" -gt 0 ] || problem "nsw-sim served no requests ($served)"

# The simulator stops cooperatively on SIGTERM.
kill -TERM "$sim_pid"
sim_rc=0
wait "$sim_pid" || sim_rc=$?
sim_pid=
[ "$sim_rc" -eq 0 ] || problem "nsw-sim ended with $sim_rc on SIGTERM"

# --- removing it ---------------------------------------------------------------------
"${dpkg_root[@]}" --purge "$package" >"$work/dpkg-purge.log" 2>&1 ||
  { show "$work/dpkg-purge.log"; problem "dpkg --purge failed"; }
find "$root/usr" "$root/etc" -not -type d 2>/dev/null >"$work/left" || true
if [ -s "$work/left" ]; then show "$work/left"; problem "files left after the purge"; fi

if [ "$problems" -ne 0 ]; then
  echo "$problems problem(s)" >&2
  exit 1
fi
echo "package installed, nsw-sim and nsw-module ran from the scratch root, package purged"
