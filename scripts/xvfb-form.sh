#!/usr/bin/env bash
# Tries a form under a real X server: starts Xvfb on a free display with a window manager
# (openbox), starts the program's desktop form on it and leaves it there for xdotool and
# import. It prints the DISPLAY to use and how to take a screenshot, and stops Xvfb when
# the program ends (close the form, or: DISPLAY=... xdotool key Escape).
#
#   scripts/xvfb-form.sh [--envio | --articulos] [--muestra] [--carpeta DIR] [--pantalla WxHxD]
#
#   (none)        the reception form "Recepción de Maestros" (the program's start-up form)
#   --envio       the sending form
#   --articulos   the article form (@Menu=FrmArtAlta, price list 1)
#   --muestra     first creates a new sample database and package in the folder: the package
#                 RECIBIR/Archivos.zip to pick in the reception form; for the sending and the
#                 article form the package is also received into the database, so that they
#                 have rows to show
#   --carpeta     the program folder (IMAESTROS_HOME), run/xvfb by default
#   --pantalla    Xvfb's screen, 1280x800x24 by default
#
# Needs a build (scripts/build.sh) and the packages of `scripts/setup.sh --xvfb`.
set -euo pipefail
cd "$(dirname "$0")/.."

form=recepcion
sample=0
home="${IMAESTROS_HOME:-$PWD/run/xvfb}"
screen=1280x800x24
build_dir="${BUILD_DIR:-build}"

usage() { sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
  case "$1" in
    --envio) form=envio ;;
    --articulos) form=articulos ;;
    --recepcion) form=recepcion ;;
    --muestra) sample=1 ;;
    --carpeta) home="$2"; shift ;;
    --pantalla) screen="$2"; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "xvfb-form: unknown option $1" >&2; usage >&2; exit 64 ;;
  esac
  shift
done

for tool in Xvfb openbox xdotool import xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "xvfb-form: $tool is missing; install the packages with: scripts/setup.sh --xvfb" >&2
    exit 1
  fi
done
for program in app/imaestros schema/imaestros-dbinit tools/imaestros-sample; do
  if [ ! -x "$build_dir/$program" ]; then
    echo "xvfb-form: $build_dir/$program is missing; build first with: scripts/build.sh" >&2
    exit 1
  fi
done

mkdir -p "$home"
home="$(cd "$home" && pwd)"
export IMAESTROS_HOME="$home"
db="$home/suite.db"
command_line="@Server=!;@DbName=$db;@Usuario=operador;@Password="

if [ "$sample" = 1 ]; then
  rm -f "$db" "$home/VK_ESTADISTICAS.db"
  "$build_dir/schema/imaestros-dbinit" "$db" >/dev/null
  mkdir -p "$home/RECIBIR" "$home/ENVIAR"
  "$build_dir/tools/imaestros-sample" "$home/RECIBIR/Archivos.zip" --articles 200 >/dev/null
  echo "xvfb-form: new sample database $db and package $home/RECIBIR/Archivos.zip"
  if [ "$form" != recepcion ]; then
    "$build_dir/app/imaestros" "$command_line;@ParametroAdicional=AUTO" || true
  fi
elif [ ! -f "$db" ]; then
  echo "xvfb-form: there is no database $db; --muestra creates a sample one" >&2
  exit 1
fi

case "$form" in
  recepcion) arguments=("$command_line") ;;
  envio) arguments=(--envio "$command_line") ;;
  articulos) arguments=("$command_line;@Menu=FrmArtAlta;@Lista=1") ;;
esac

# Xvfb picks a free display itself and writes its number to descriptor 3.
display_file="$(mktemp)"
xvfb_pid=""
wm_pid=""
runtime_dir=""
stop() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
  [ -n "$runtime_dir" ] && rm -rf "$runtime_dir" || true
}
trap stop EXIT
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$display_file" 2>"$home/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "xvfb-form: Xvfb did not start (see $home/xvfb.log)" >&2; exit 1; }
  sleep 0.1
done
display=":$(head -n 1 "$display_file")"
export DISPLAY="$display"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime_dir="$(mktemp -d)" # Qt wants one, private to the user
  export XDG_RUNTIME_DIR="$runtime_dir"
fi

openbox >"$home/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

cat <<EOF
xvfb-form: the $form form runs on DISPLAY=$display (program folder $home)
  screenshot:   DISPLAY=$display import -window root shot.png
  its window:   DISPLAY=$display xdotool search --onlyvisible --class imaestros
  keys, clicks: DISPLAY=$display xdotool key F5     DISPLAY=$display xdotool mousemove 100 60 click 1
  Xvfb stops when the program ends (close the form, or: DISPLAY=$display xdotool key Escape).
EOF

status=0
"$build_dir/app/imaestros" "${arguments[@]}" || status=$?
echo "xvfb-form: the program ended with status $status; Xvfb stops"
exit "$status"
