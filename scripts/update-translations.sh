#!/usr/bin/env bash
# Collects every qsTr()/tr() text of the pages and the interface classes into
# the translation files (i18n/tavrik_zh_TW.ts, i18n/tavrik_zh_CN.ts). New texts
# come in unfinished; translate them in the .ts files (or with Qt Linguist),
# and the build compiles them with lrelease.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
lupdate=/usr/lib/qt5/bin/lupdate
[ -x "$lupdate" ] || lupdate=lupdate
cd "$top"
"$lupdate" -silent -locations relative -no-obsolete -I . qml ui -ts i18n/tavrik_zh_TW.ts i18n/tavrik_zh_CN.ts
for f in i18n/tavrik_zh_TW.ts i18n/tavrik_zh_CN.ts; do
  printf '%s: %s unfinished\n' "$f" "$(grep -c 'type="unfinished"' "$f" || true)"
done
