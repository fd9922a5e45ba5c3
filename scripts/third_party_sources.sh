#!/usr/bin/env bash
# Fetches the Debian source packages of the third-party codec libraries into the build tree's
# third_party/sources (once: a second run finds them and does nothing). The packages' sources are
# never kept in this repository. apt-get source exits non-zero when the mirror lacks a file the
# build does not need (an upstream signature); the upstream tarball is checked against the .dsc's
# SHA-256 instead. Usage: third_party_sources.sh SOURCES_DIR PACKAGE...
set -euo pipefail
sources=$1
shift
mkdir -p "$sources"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# A deb-src entry for every suite the machine installs from, written once beside its own entries.
ensure_source_entries() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local listed=0
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] || continue
    sed -e 's/^Types: deb$/Types: deb-src/' "$file" |
      "${sudo_cmd[@]}" tee -a /etc/apt/sources.list.d/tunara-deb-src.sources >/dev/null
    listed=1
  done
  if [ -e /etc/apt/sources.list ] && grep -qE '^deb ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/tunara-deb-src.list >/dev/null
    listed=1
  fi
  [ $listed -eq 1 ] || { echo "third-party: no package sources to add deb-src entries for" >&2; exit 1; }
  # One stale index (a mirror in the middle of a sync) must not stop the fetch: the source
  # indexes it needs are checked by the fetch itself.
  "${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 || echo "third-party: apt-get update reported failures" >&2
}

# The .dsc's upstream tarball, when its SHA-256 and size match the .dsc's.
verified_tarball() {
  local dsc=$1 dir line sum size name
  dir=$(dirname "$dsc")
  while read -r sum size name; do
    case $name in *.orig.tar.*) ;; *) continue ;; esac
    [[ $name == *.asc ]] && continue
    [ -f "$dir/$name" ] || continue
    [ "$(stat -c %s "$dir/$name")" = "$size" ] || continue
    [ "$(sha256sum "$dir/$name" | cut -d' ' -f1)" = "$sum" ] || continue
    echo "$dir/$name"
    return 0
  done < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/p' "$dsc" | sed -n 's/^ //p')
  return 1
}

for package in "$@"; do
  dsc=$(ls "$sources/${package}"_*.dsc 2>/dev/null | head -n1 || true)
  if [ -n "$dsc" ] && verified_tarball "$dsc" >/dev/null; then continue; fi
  ensure_source_entries
  echo "third-party: fetching the source package $package"
  (cd "$sources" && apt-get source --download-only "$package" >/dev/null 2>&1) || true
  dsc=$(ls "$sources/${package}"_*.dsc 2>/dev/null | head -n1 || true)
  if [ -z "$dsc" ] || ! verified_tarball "$dsc" >/dev/null; then
    echo "third-party: the source package $package could not be fetched whole" >&2
    exit 1
  fi
done
