#!/usr/bin/env bash
# Has LibreOffice Calc read a results export written by the program's own export writer, as a
# Windows-1252 file with ";" between the fields, and checks every value lands in its column with
# its accents intact.
#   tools/check_export_libreoffice.sh [build-dir]     (default: build)
# Needs libreoffice (Debian: libreoffice-calc-nogui) and the test program
# results_export_writer_test, which writes the sample file on request.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if ! command -v libreoffice >/dev/null 2>&1; then
    echo "libreoffice is not installed (apt-get install libreoffice-calc-nogui)" >&2
    exit 2
fi
cmake --build "$build" --target results_export_writer_test >/dev/null
writer="$build/tests/results_export_writer_test"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
NORAK_EXPORT_SAMPLE="$work/sample.txt" QT_QPA_PLATFORM=offscreen "$writer" \
    --gtest_also_run_disabled_tests --gtest_filter='ExportWriter.DISABLED_WriteSampleForSpreadsheetCheck' >/dev/null

# Import options: separator ";" (59), text delimiter '"' (34), character set Windows-1252 (1),
# from line 1, every one of the ten columns as text (format 2) so that nothing is reinterpreted.
# Export options: "," (44), '"' (34), UTF-8 (76).
columns=$(for c in $(seq 1 10); do printf '%s/2/' "$c"; done)
HOME="$work" libreoffice --headless "-env:UserInstallation=file://$work/profile" \
    --infilter="Text - txt - csv (StarCalc):59,34,1,1,${columns%/}" \
    --convert-to "csv:Text - txt - csv (StarCalc):44,34,76,1" --outdir "$work/out" "$work/sample.txt" >/dev/null

python3 - "$work/out/sample.csv" <<'PY'
import csv
import sys

# What the sample export holds, as a spreadsheet should show it (Basket; rows 1, 2 and 12 named,
# so that the empty rows between them are inside the sheet's used area).
expected = [
    ["NORAK-Basket 2.0"],
    ["", "Fecha", "Hora", "Periodo Inicial", "Velocidad Inicial (Km/h)"],
    ["", "06/12/2026", "19:45", "3", "5,4"],
    ["", "Nº", "Sujeto", "Cod.", "Tiempo (mm:ss)", "Periodos complet.", "Distancia (m)", "Vel. Máx. (Km/h)"],
    ["", "1", "Begoña Núñez", "V07", "12:40", "8", "1473", "9,0", "21,744"],
    ["", "2", "Íñigo", "ª1", "03:05", "0", "96", "4,2", "3,843"],
] + [[] for _ in range(9)] + [["", "", "Zoë"]]

with open(sys.argv[1], newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f))
got = []
for row in rows:
    while row and row[-1] == "":
        row.pop()
    got.append(row)
if got != expected:
    print("columns differ:")
    for i in range(max(len(got), len(expected))):
        g = got[i] if i < len(got) else None
        e = expected[i] if i < len(expected) else None
        if g != e:
            print(f"  line {i + 1}: got {g!r}, expected {e!r}")
    sys.exit(1)
print(f"LibreOffice read {len(got)} lines with every value in its column.")
PY
