#!/usr/bin/env bash
# Tests what scripts/package.sh wrote into dist/, as an installer would meet it:
#   - lintian, desktop-file-validate and appstreamcli validate find no error;
#   - the .deb unpacked into a temporary root and run by an unprivileged user
#     (nobody) with a temporary HOME: --version, check of the example
#     configuration, the window (offscreen) makes its workspace under that
#     HOME and not beside the program, and a configuration saved there is
#     found by trenov5x-cli check --workspace;
#   - the portable folder copied elsewhere: every Qt library and plugin it
#     loads comes from inside it, and the window makes its workspace there.
# Needs root (to become nobody). Prints the sizes and the window's start times.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
deb=$(ls dist/trenov5x_*_amd64.deb)
archive=$(ls dist/trenov5x-*-linux-x86_64.tar.xz)
version=$(basename "$deb" | cut -d_ -f2)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "package-check: $*" >&2; exit 1; }
step() { echo "== $*"; }
as_user() { # as nobody, with HOME=$1, offscreen
  local home=$1; shift
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
new_home() {
  local home
  home=$(mktemp -d "$work/home.XXXX")
  chown nobody:nogroup "$home"
  echo "$home"
}
# Milliseconds of the best of three window starts (--check-start).
start_ms() {
  local best=999999 t0 t1 ms
  for _ in 1 2 3; do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || fail "window start failed: $*"
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    ((ms < best)) && best=$ms
  done
  echo "$best"
}

step "lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports an error"

step "unpacked .deb: files"
root=$work/root
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/trenov5x.svg" ] || fail "no icon"
[ -f "$root/usr/share/man/man1/trenov5x-cli.1.gz" ] || fail "no manual page"
[ -d "$root/usr/share/trenov5x/Language" ] || fail "no Language/"

step "unpacked .deb: as an ordinary user"
home=$(new_home)
bin=$root/usr/bin
[ "$(as_user "$home" "$bin/trenov5x-cli" --version)" = "trenov5x-cli $version" ] || fail "cli --version"
[ "$(as_user "$home" "$bin/trenov5x" --version)" = "trenov5x $version" ] || fail "window --version"
example=$work/example/Pump_Station
mkdir -p "$example" && cp docs/examples/Configuration.xml "$example/" && chmod -R a+rX "$work/example"
[ "$(as_user "$home" "$bin/trenov5x-cli" check "$example")" = OK ] || fail "check of the example"
# The command line starts without the GUI libraries; a PDF sheet loads them
# through its module.
! as_user "$home" env LD_DEBUG=libs "$bin/trenov5x-cli" check "$example" 2>&1 | grep -q "calling init: .*libQt6Gui" ||
  fail "trenov5x-cli check loads the GUI libraries"
as_user "$home" "$bin/trenov5x-cli" report "$example" --pdf "$home/sheet.pdf" >/dev/null || fail "report --pdf"
[ "$(head -c 4 "$home/sheet.pdf")" = "%PDF" ] || fail "report --pdf wrote no PDF"
as_user "$home" "$bin/trenov5x" --check-start || fail "the installed window did not start"
workspace=$home/.local/share/trenov5x
[ -d "$workspace/Projects" ] && [ -d "$workspace/Setting" ] || fail "no workspace under HOME"
[ ! -e "$bin/Projects" ] && [ ! -e "$bin/Setting" ] || fail "workspace beside the program"
as_user "$home" mkdir -p "$workspace/Projects/Pump_Station"
as_user "$home" cp "$example/Configuration.xml" "$workspace/Projects/Pump_Station/"
[ "$(as_user "$home" "$bin/trenov5x-cli" check --workspace "$workspace" Pump_Station)" = OK ] ||
  fail "check --workspace does not find the saved configuration"
[ "$(as_user "$home" "$bin/trenov5x-cli" check Pump_Station)" = OK ] ||
  fail "check does not find the configuration in the default workspace"
as_user "$home" "$bin/trenov5x" --check-start --workspace "$root/usr/share/chosen" 2>/dev/null &&
  fail "a workspace nobody may write was accepted"
installed_ms=$(start_ms as_user "$home" "$bin/trenov5x" --check-start)

step "portable folder: copied elsewhere"
mkdir "$work/unpack" "$work/elsewhere"
tar -C "$work/unpack" -xJf "$archive"
name=$(basename "$archive" .tar.xz)
cp -a "$work/unpack/$name" "$work/elsewhere/TRENOV5x copy"
rm -rf "$work/unpack"
portable=$work/elsewhere/TRENOV5x\ copy
chown -R nobody:nogroup "$portable"
while read -r object; do
  out=$(ldd "$object")
  ! grep -q "not found" <<<"$out" || fail "$object: a library is not found: $out"
  while read -r lib path; do
    [[ $path == "$portable"/* ]] || fail "$object loads $lib from $path"
  done < <(sed -n 's/^[[:space:]]*\(libQt6[^ ]*\) => \(.*\) (0x[0-9a-f]*)$/\1 \2/p' <<<"$out")
done < <(find "$portable" -maxdepth 1 -type f -name 'trenov5x*' ! -name '*.svg'; find "$portable/plugins" -name '*.so')
home=$(new_home)
# Every Qt library loaded while the window starts, plugins included, is the folder's own.
loaded=$(as_user "$home" env LD_DEBUG=libs "$portable/trenov5x" --check-start 2>&1 | sed -n 's/.*calling init: //p')
grep -q "$portable/lib/libQt6Core" <<<"$loaded" || fail "Qt core not loaded from the folder"
# The command line's PDF module and the Qt it loads are the folder's own too.
loaded=$(as_user "$home" env LD_DEBUG=libs "$portable/trenov5x-cli" report "$example" --pdf "$home/sheet.pdf" 2>&1 |
  sed -n 's/.*calling init: //p')
grep -q "$portable/lib/trenov5x-pdf.so" <<<"$loaded" || fail "the PDF module not loaded from the folder"
! grep -E 'libQt6|/qt6/plugins/' <<<"$loaded" | grep -v "^$portable/" || fail "report loads Qt from outside the folder"
[ "$(head -c 4 "$home/sheet.pdf")" = "%PDF" ] || fail "the portable report --pdf wrote no PDF"
grep -q "$portable/plugins/platforms/libqoffscreen.so" <<<"$loaded" || fail "platform plugin not from the folder"
! grep -E 'libQt6|/qt6/plugins/' <<<"$loaded" | grep -v "^$portable/" || fail "Qt loaded from outside the folder"
[ -d "$portable/Projects" ] && [ -d "$portable/Setting" ] || fail "no workspace beside the portable program"
[ ! -e "$home/.local/share/trenov5x" ] || fail "the portable window used the HOME workspace"
# In German, Qt's own dialog texts come from the folder's translations/.
echo '<General_Setting><Language>3</Language><Configuration></Configuration></General_Setting>' \
  >"$portable/Setting/setting.xml"
# setpriv and env exec the window: the job's process ID is the window's.
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin HOME="$home" \
  XDG_RUNTIME_DIR="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$portable/trenov5x" >/dev/null 2>&1 &
window=$!
for _ in $(seq 100); do
  grep -q "$portable/translations/qtbase_de.qm" "/proc/$window/maps" 2>/dev/null && break
  sleep 0.1
done
german=$(grep -c "$portable/translations/qtbase_de.qm" "/proc/$window/maps" || true)
kill "$window"
wait "$window" 2>/dev/null || true
((german > 0)) || fail "Qt's German texts not loaded from the folder"
portable_ms=$(start_ms as_user "$home" "$portable/trenov5x" --check-start)
build_ms=$(start_ms env QT_QPA_PLATFORM=offscreen "$repo/${BUILD_DIR:-build}/bin/trenov5x" --check-start)

step "sizes and start times"
echo "deb:     $(stat -c %s "$deb") bytes ($deb)"
echo "archive: $(stat -c %s "$archive") bytes ($archive)"
echo "portable folder unpacked: $(du -sb "$portable" | cut -f1) bytes"
echo "window start (--check-start, best of 3): installed as nobody ${installed_ms} ms," \
  "portable as nobody ${portable_ms} ms, build folder ${build_ms} ms"
