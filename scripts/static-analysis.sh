#!/usr/bin/env bash
# Runs clazy, the Qt-aware checker built on clang, over the panel's own
# sources (not the tests, the simulated unit or the tools) as build.sh
# compiles them, and fails on any finding. The checks are the ones that find
# faults: connections that outlive their receiver or capture locals, writes
# to and iterators into temporaries, signal and property declarations that
# queued connections or the pages cannot use, and the like; not the checks
# about speed or style.
# A finding that is not a fault is silenced on its line with
# "// clazy:exclude=<check>" and a reason beside it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRIK_BUILD_DIR:-$top/build/release}"
"$top/scripts/deps.sh" clazy
# The generated sources (moc) must exist, and compile_commands.json must
# list every file.
"$top/scripts/build.sh"

checks=(
  # connections
  connect-3arg-lambda lambda-in-connect lambda-unique-connection connect-non-signal
  connect-by-name old-style-connect post-event install-event-filter
  # signals, slots, properties as the meta-object system and the pages see them
  const-signal-or-slot virtual-signal overridden-signal signal-with-return-value
  fully-qualified-moc-types qproperty-without-notify lowercase-qml-type-name
  # temporaries, iterators and containers
  temporary-iterator writing-to-temporary returning-data-from-temporary strict-iterators
  mutable-container-key detaching-temporary auto-unexpected-qstringbuilder qhash-with-char-pointer-key
  # other faults
  wrong-qglobalstatic wrong-qevent-cast child-event-qobject-cast skipped-base-method
  virtual-call-ctor base-class-event assert-with-side-effects qlatin1string-non-ascii
  ifndef-define-typo qt-macros
)
# The folders of the layers in the top CMakeLists.txt.
folders="$(paste -sd'|' "$build/product-folders.txt")"

mapfile -t sources < <(python3 - "$build/compile_commands.json" "$top" "$folders" <<'EOF'
import json, re, sys
db, top, folders = sys.argv[1:]
pattern = re.compile(re.escape(top) + "/(" + folders + ")/[^/]+\\.cpp$")
for entry in json.load(open(db)):
    if pattern.match(entry["file"]):
        print(entry["file"])
EOF
)
[ ${#sources[@]} -gt 0 ] || { echo "static-analysis: no sources in $build/compile_commands.json" >&2; exit 1; }

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
IFS=,
# Headers are reached through the include roots in the build tree
# (build/.../include_roots/<folder>/<folder>/x.h) or beside their source.
status=0
printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P"$(nproc)" clazy-standalone -p "$build" \
  --checks="${checks[*]}" --header-filter="/($folders)/[^/]+\\.h$" >"$out" 2>&1 || status=$?
unset IFS

# Each header's findings come once per file that includes it.
findings="$(grep -E ': (warning|error): ' "$out" | sort -u || true)"
if [ "$status" -ne 0 ] && [ -z "$findings" ]; then
  cat "$out" >&2
  echo "static-analysis: clazy failed (status $status)" >&2
  exit 1
fi
if [ -n "$findings" ]; then
  echo "$findings"
  echo "static-analysis: $(echo "$findings" | wc -l) finding(s) in ${#sources[@]} files" >&2
  exit 1
fi
echo "static-analysis: ${#sources[@]} files, no finding"
