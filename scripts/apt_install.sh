#!/usr/bin/env bash
# Installs the Debian packages named on the command line (as root, or through sudo). A mirror in
# the middle of a sync can leave one index stale: apt-get update then fails for that index alone.
# The install still goes ahead with the indexes that did arrive; where it fails and a suite's
# index was stale, it is tried once more with that suite lowered to priority 100 (so that i386
# packages can take the same version as their amd64 twins from the other suites). Fails only when
# the install itself fails, naming the packages.
set -euo pipefail

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
log=$(mktemp)
preference=/etc/apt/preferences.d/tunara-stale-suites
trap 'rm -f "$log"; "${sudo_cmd[@]}" rm -f "$preference"' EXIT

stale_suites=()
if ! "${sudo_cmd[@]}" apt-get update -qq >"$log" 2>&1; then
  failed=$(grep -oE 'Failed to fetch [^ ]+' "$log" | sed 's/^Failed to fetch //' || true)
  if [ -n "$failed" ]; then
    echo "setup: apt-get update failed for these indexes (installing from the others):" >&2
    printf '  %s\n' $failed >&2
  else
    echo "setup: apt-get update failed (installing from the indexes there are):" >&2
    sed 's/^/  /' "$log" >&2
  fi
  for url in $failed; do
    suite=$(sed -nE 's#.*/dists/([^/]+)/.*#\1#p' <<<"$url")
    [ -n "$suite" ] && stale_suites+=("$suite")
  done
fi

install() {
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

if install "$@"; then
  exit 0
fi
if [ ${#stale_suites[@]} -gt 0 ]; then
  for suite in $(printf '%s\n' "${stale_suites[@]}" | sort -u); do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite"
  done | "${sudo_cmd[@]}" tee "$preference" >/dev/null
  echo "setup: retrying with the stale suites lowered: $(printf '%s ' "${stale_suites[@]}")" >&2
  if install "$@"; then
    exit 0
  fi
fi
echo "setup: installing $* failed:" >&2
grep -E '^(E|W):' "$log" | sed 's/^/  /' >&2 || sed 's/^/  /' "$log" >&2
exit 1
