#!/usr/bin/env bash
# The README's main command: installs what is missing, builds, creates a fresh embedded
# database (run/suite.db, unless IMAESTROS_HOME names another folder) and runs the program's
# main job on it, unattended.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${BUILD_DIR:-build}"
echo "run: building into $build_dir/ (the first build takes a few minutes)"
scripts/build.sh

home="${IMAESTROS_HOME:-$PWD/run}"
mkdir -p "$home"
export IMAESTROS_HOME="$home"
db="$home/suite.db"
if [ ! -f "$db" ]; then
  "$build_dir/schema/imaestros-dbinit" "$db"
  echo "run: created the embedded database $db (and VK_ESTADISTICAS.db beside it)"
fi

log="$home/imaestros.log"
lines_before=$( [ -f "$log" ] && wc -l <"$log" || echo 0 )
status=0
"$build_dir/app/imaestros" "@Server=!;@DbName=$db;@Usuario=operador;@Password=;@ParametroAdicional=AUTO" || status=$?
case "$status" in
  0) meaning="connected, loaded its settings, wrote and closed its access row in Control_Acceso" ;;
  1) meaning="could not connect" ;;
  2) meaning="a start-up step failed" ;;
  3) meaning="could not write its access row" ;;
  4) meaning="could not write the exit time of its access row" ;;
  5) meaning="could not read its settings (TA_CONFIGURACION); it went on with the defaults" ;;
  6) meaning="the desktop mode needs a display" ;;
  7) meaning="cannot write its folder $home or its log" ;;
  *) meaning="ended abnormally" ;;
esac
echo "run: imaestros ran unattended on $db and exited with status $status: $meaning"
if [ -f "$log" ]; then
  echo "run: what it logged ($log):"
  tail -n +"$((lines_before + 1))" "$log" | iconv -f WINDOWS-1252 -t UTF-8
fi
exit "$status"
