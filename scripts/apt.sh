# Sourced: apt steps that survive a package mirror caught in the middle of a sync.
#
# A mirror that is syncing serves, for an hour or more, an index whose size does not match its
# Release file. `apt-get update` then fails for that one suite (typically the security suite,
# which changes most often) and keeps the old lists of it, or none. Installing i386 packages
# next to amd64 ones then fails with "held broken packages": the amd64 lists know the suite's
# newer versions of Multi-Arch: same libraries, the i386 lists do not, and those packages need
# equal versions. Leaving the suite out for both architectures gives a consistent set again.
# All of it happens through temporary copies of the sources: the machine's own apt
# configuration is never changed.
#
# apt-get and dpkg-query are called through PATH, so a test can put stand-ins first.

KYR_APT_ETC="${KYR_APT_ETC:-/etc/apt}"        # where the configured sources are read from
KYR_APT_TRIES="${KYR_APT_TRIES:-3}"
KYR_APT_RETRY_PAUSE="${KYR_APT_RETRY_PAUSE:-5}" # seconds; only ever spent after a failure

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Suites whose index the last kyr_apt_update could not fetch.
kyr_apt_failed_suites=()

# Prints the packages of "$@" that dpkg does not list as installed.
kyr_apt_missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

# apt-get update with extra apt-get options "$@", tried up to KYR_APT_TRIES times. Never fails:
# what could not be fetched is left in kyr_apt_failed_suites and said in one line.
kyr_apt_update() {
  local try out status
  kyr_apt_failed_suites=()
  for ((try = 1; try <= KYR_APT_TRIES; try++)); do
    status=0
    out=$(sudo_ apt-get "$@" update -qq 2>&1) || status=$?
    if [ "$status" -eq 0 ] && ! grep -q 'Failed to fetch' <<<"$out"; then
      [ -z "$out" ] || printf '%s\n' "$out" >&2
      return 0
    fi
    # ".../dists/<suite>/main/binary-i386/Packages.xz": the suite is the part after dists/.
    mapfile -t kyr_apt_failed_suites < <(
      sed -n 's|.*Failed to fetch [^ ]*/dists/\([^/ ]*\)/.*|\1|p' <<<"$out" | sort -u)
    [ "$try" -lt "$KYR_APT_TRIES" ] && sleep "$KYR_APT_RETRY_PAUSE"
  done
  if [ ${#kyr_apt_failed_suites[@]} -gt 0 ]; then
    echo "setup: the package index of ${kyr_apt_failed_suites[*]} could not be fetched" \
         "after $KYR_APT_TRIES tries (mirror sync in progress?); going on with what there is"
  else
    # A failure of another kind: apt's own words are the only clue, so they are shown.
    printf '%s\n' "$out" | grep -E '^(E|W):' | head -n 4 >&2 || true
    echo "setup: apt-get update failed after $KYR_APT_TRIES tries; going on with the old lists"
  fi
  return 0
}

# Writes into directory $1 a sources.list and a parts folder holding the configured sources
# without the suites "${@:2}": deb822 stanzas lose those suites (and go when none is left),
# one-line entries naming one of them go.
kyr_apt_sources_without() {
  local out=$1 f
  shift
  local drop=" $* "
  rm -rf "$out" && mkdir -p "$out/parts"
  : > "$out/sources.list"
  [ ! -f "$KYR_APT_ETC/sources.list" ] ||
    kyr_apt_filter_list "$drop" < "$KYR_APT_ETC/sources.list" > "$out/sources.list"
  for f in "$KYR_APT_ETC"/sources.list.d/*.list; do
    [ -f "$f" ] && kyr_apt_filter_list "$drop" < "$f" > "$out/parts/$(basename "$f")"
  done
  for f in "$KYR_APT_ETC"/sources.list.d/*.sources; do
    [ -f "$f" ] && kyr_apt_filter_deb822 "$drop" < "$f" > "$out/parts/$(basename "$f")"
  done
  return 0
}

# One-line format: "deb [options] URI SUITE COMPONENT..."; the options may hold spaces.
kyr_apt_filter_list() {
  awk -v drop="$1" '
    /^[ \t]*deb(-src)?[ \t]/ {
      rest = $0
      sub(/^[ \t]*deb(-src)?[ \t]+/, "", rest)
      if (rest ~ /^\[/) sub(/^\[[^]]*\][ \t]*/, "", rest)
      split(rest, f, /[ \t]+/)
      if (index(drop, " " f[2] " ")) next
    }
    { print }'
}

# deb822 format: blank-line separated stanzas with a "Suites:" field.
kyr_apt_filter_deb822() {
  awk -v drop="$1" '
    function flush() {
      if (n && !(had_suites && kept == "")) for (i = 1; i <= n; i++) print lines[i]
      if (n) print ""
      n = 0; had_suites = 0; kept = ""
    }
    /^[ \t]*$/ { flush(); next }
    /^Suites:/ {
      had_suites = 1
      m = split(substr($0, 8), s, /[ \t]+/)
      for (j = 1; j <= m; j++) if (s[j] != "" && !index(drop, " " s[j] " ")) kept = kept " " s[j]
      lines[++n] = "Suites:" kept
      next
    }
    { lines[++n] = $0 }
    END { flush() }'
}

# Writes the deb-src twin of every configured deb source (same URIs, suites, components and
# keys) into directory $1 as sources.list and parts/, for a private `apt-get source`.
kyr_apt_source_twins() {
  local out=$1 f
  rm -rf "$out" && mkdir -p "$out/parts"
  : > "$out/sources.list"
  for f in "$KYR_APT_ETC/sources.list" "$KYR_APT_ETC"/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[ \t]*deb[ \t]/deb-src /p' "$f" >> "$out/sources.list"
  done
  for f in "$KYR_APT_ETC"/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$out/parts/$(basename "$f")"
  done
  return 0
}

# The install step of setup: brings in the packages of "$@", surviving a half-synced mirror.
kyr_apt_install() {
  local opts=(-y -qq --no-install-recommends)
  kyr_apt_update
  sudo_ apt-get install "${opts[@]}" "$@" >/dev/null && return 0
  local step="apt-get install"
  if [ ${#kyr_apt_failed_suites[@]} -gt 0 ]; then
    local tmp
    tmp=$(mktemp -d)
    kyr_apt_sources_without "$tmp" "${kyr_apt_failed_suites[@]}"
    echo "setup: installing again without ${kyr_apt_failed_suites[*]}, whose index failed"
    # The lists of the remaining suites are already on disk; the caches are left out because
    # they were built from the whole set of sources.
    if sudo_ apt-get -o Dir::Etc::SourceList="$tmp/sources.list" \
         -o Dir::Etc::SourceParts="$tmp/parts" \
         -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= \
         install "${opts[@]}" "$@" >/dev/null; then
      rm -rf "$tmp"
      return 0
    fi
    rm -rf "$tmp"
    step="apt-get install without ${kyr_apt_failed_suites[*]}"
  fi
  echo "setup: $step failed. Run 'apt-get update' and 'apt-get install $*' by hand to see" \
       "why; if the mirror is syncing, try again in an hour or choose another mirror in" \
       "$KYR_APT_ETC/sources.list.d/." >&2
  return 1
}
