#!/usr/bin/env bash
# The README's main command: installs what is missing, builds, creates a fresh embedded
# database (run/suite.db, unless IMAESTROS_HOME names another folder), writes a sample
# transmission package into its reception folder and runs the program's main job on it,
# the unattended reception.
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
  # the general and the reduced VAT rates, which the article form accepts
  "$build_dir/schema/imaestros-dbinit" "$db" PIVA=21 PIVAREC=10.5
  echo "run: created the embedded database $db (and VK_ESTADISTICAS.db beside it), VAT rates 21 and 10.5"
fi

# The package the unattended reception takes: C:\RECIBIR\Archivos.zip of the suite, which
# lives under IMAESTROS_ROOT (the program folder by default).
inbox="${IMAESTROS_ROOT:-$home}/RECIBIR"
mkdir -p "$inbox"
"$build_dir/tools/imaestros-sample" "$inbox/Archivos.zip" --articles "${RUN_ARTICLES:-200}"
echo "run: wrote the sample package $inbox/Archivos.zip (${RUN_ARTICLES:-200} articles, every table of the package)"

log="$home/imaestros.log"
lines_before=$( [ -f "$log" ] && wc -l <"$log" || echo 0 )
status=0
"$build_dir/app/imaestros" "@Server=!;@DbName=$db;@Usuario=operador;@Password=;@ParametroAdicional=AUTO" || status=$?
case "$status" in
  0) meaning="received the package: every row loaded (and its access row written and closed)" ;;
  1) meaning="could not connect" ;;
  2) meaning="a start-up step failed" ;;
  3) meaning="could not write its access row" ;;
  4) meaning="could not write the exit time of its access row" ;;
  5) meaning="could not read its settings (TA_CONFIGURACION); it went on with the defaults" ;;
  6) meaning="the desktop mode needs a display" ;;
  7) meaning="cannot write its folder $home or its log" ;;
  8) meaning="received the package; some rows were rejected (see $inbox/Errores.TXT)" ;;
  9) meaning="the package $inbox/Archivos.zip is missing or cannot be read" ;;
  10) meaning="the package comes from another origin database than the last reception: nothing imported" ;;
  11) meaning="the package has no control file" ;;
  12) meaning="the database failed during the reception" ;;
  *) meaning="ended abnormally" ;;
esac
echo "run: imaestros received the package unattended into $db and exited with status $status: $meaning"
if [ -f "$log" ]; then
  echo "run: what it logged ($log):"
  tail -n +"$((lines_before + 1))" "$log" | iconv -f WINDOWS-1252 -t UTF-8
fi
exit "$status"
