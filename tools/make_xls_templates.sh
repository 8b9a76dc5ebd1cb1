#!/bin/sh
# Regenerates the committed .xls templates (res/templates), test fixtures
# (tests/bank/fixtures) and bench fixtures (bench/fixtures) with LibreOffice.
# Usage: tools/make_xls_templates.sh [templates] [fixtures] [bench] [roster]
set -e
command -v soffice >/dev/null || { echo "soffice (libreoffice-calc) is needed" >&2; exit 1; }
exec python3 "$(dirname "$0")/xls/make_xls.py" "$@"
