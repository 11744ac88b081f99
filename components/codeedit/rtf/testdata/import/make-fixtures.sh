#!/usr/bin/env bash
# Makes the RTF import fixtures: every *.html here becomes *.rtf through the
# office suite's HTML reader and RTF writer. Run it after changing an HTML
# file, check the pieces the import tests expect, and commit both files.
# Character background is written as "\highlight" (the suite's default is
# shading), so the fixtures carry a back colour the reader understands.
set -euo pipefail
cd "$(dirname "$0")"
command -v soffice >/dev/null || { echo "soffice not found (Debian: libreoffice-writer-nogui)" >&2; exit 1; }
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
mkdir -p "$profile/user"
cat >"$profile/user/registrymodifications.xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Filter/Microsoft/Export"><prop oor:name="CharBackgroundToHighlighting" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
XCU
soffice --headless "-env:UserInstallation=file://$profile" --infilter="HTML (StarWriter)" \
  --convert-to "rtf:Rich Text Format" --outdir . ./*.html
