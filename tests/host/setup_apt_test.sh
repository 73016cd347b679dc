#!/usr/bin/env bash
# setup's install step against a stand-in apt-get that behaves like a half-synced mirror:
# its update fails for the security suite, and install reports held broken packages while the
# sources it reads still hold that suite.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin" "$work/etc/sources.list.d"
cat > "$work/etc/sources.list.d/debian.sources" <<'EOF'
Types: deb
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror.example/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
cat > "$work/etc/sources.list" <<'EOF'
# one-line entries, options with a space in them
deb [arch=amd64 signed-by=/k.gpg] http://other.example/debian bookworm-security main
deb http://other.example/debian bookworm main
EOF

# The stand-ins log every call to $work/log. APT_UPDATE_FAILS counts the updates still to fail;
# APT_INSTALL is "mirror" (fails while the security suite is in the sources it reads), "ok" or
# "broken" (always fails).
cat > "$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >> "$STUB_DIR/log"
for a in "$@"; do case $a in Dir::Etc::SourceParts=*) parts=${a#*=} ;; esac; done
case " $* " in
  *" update "*)
    left=$(cat "$STUB_DIR/update_fails")
    [ "$left" -gt 0 ] || exit 0
    echo $((left - 1)) > "$STUB_DIR/update_fails"
    echo "E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
  *" install "*)
    case $APT_INSTALL in
      ok) exit 0 ;;
      mirror) grep -rqs '^Suites:.*bookworm-security' "${parts:-$KYR_APT_ETC/sources.list.d}" || exit 0 ;;
    esac
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
EOF
cat > "$work/bin/sleep" <<'EOF'
#!/usr/bin/env bash
echo "sleep $*" >> "$STUB_DIR/log"
EOF
cat > "$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
case " $INSTALLED " in *" ${!#} "*) printf 'install ok installed' ;; *) exit 1 ;; esac
EOF
chmod +x "$work/bin/"*

export STUB_DIR=$work KYR_APT_ETC=$work/etc PATH="$work/bin:$PATH"
. "$here/scripts/apt.sh"
sudo_() { "$@"; }   # the stand-ins need no root

check() {  # check NAME CONDITION-TEXT COMMAND...
  local name=$1 what=$2
  shift 2
  if ! "$@"; then
    echo "FAIL $name: $what"
    failures=$((failures + 1))
  fi
}
count() { grep -c -- "$1" "$work/log" || true; }

# name | updates that fail | install | status | updates | sleeps | installs | output has
rows=(
  "healthy mirror|0|ok|0|1|0|1|"
  "one failed update, then healthy|1|ok|0|2|1|1|"
  "syncing mirror, the install without the suite works|9|mirror|0|3|2|2|without bookworm-security"
  "syncing mirror, nothing installs|9|broken|1|3|2|2|failed"
  "index failed but the install works anyway|9|ok|0|3|2|1|going on"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name fails install want_status want_updates want_sleeps want_installs want_text <<<"$row"
  : > "$work/log"
  echo "$fails" > "$work/update_fails"
  status=0
  out=$(APT_INSTALL=$install kyr_apt_install zlib1g:i386 wine32:i386 2>&1) || status=$?
  check "$name" "status $status, not $want_status" [ "$status" = "$want_status" ]
  check "$name" "updates" [ "$(count ' update')" = "$want_updates" ]
  check "$name" "pauses" [ "$(count '^sleep')" = "$want_sleeps" ]
  check "$name" "installs" [ "$(count ' install ')" = "$want_installs" ]
  if [ -n "$want_text" ]; then
    check "$name" "output lacks '$want_text': $out" grep -q -- "$want_text" <<<"$out"
  else
    check "$name" "a healthy run says nothing: $out" [ -z "$out" ]
  fi
  # Whenever an index failed for good, one line names the suite and says setup goes on.
  if [ "$fails" -ge 3 ]; then
    check "$name" "the update's line" grep -q 'bookworm-security could not be fetched.*going on' <<<"$out"
  fi
  if [ "$want_installs" = 2 ]; then
    check "$name" "second install reads a temporary list" \
      grep -q 'Dir::Etc::SourceList=.*Dir::Etc::SourceParts=.* install ' <(sed -n '$p' "$work/log")
  fi
done

# The copies without a suite, in both formats; the machine's own files stay as they were.
before=$(cat "$work/etc/sources.list" "$work/etc/sources.list.d/debian.sources" | md5sum)
kyr_apt_sources_without "$work/out" bookworm-security
check "deb822 copy" "keeps the other suites" grep -qx 'Suites: bookworm bookworm-updates' "$work/out/parts/debian.sources"
check "deb822 copy" "drops the stanza left with no suite" \
  [ "$(grep -c '^Types:' "$work/out/parts/debian.sources")" = 1 ]
check "one-line copy" "drops the entry" [ "$(grep -c '^deb' "$work/out/sources.list")" = 1 ]
check "one-line copy" "keeps the other" grep -qx 'deb http://other.example/debian bookworm main' "$work/out/sources.list"
check "configuration" "unchanged" \
  [ "$(cat "$work/etc/sources.list" "$work/etc/sources.list.d/debian.sources" | md5sum)" = "$before" ]

# deb-src twins carry the configured URIs and suites, in both formats.
kyr_apt_source_twins "$work/src"
check "twins" "deb822 types" [ "$(grep -c '^Types: deb-src$' "$work/src/parts/debian.sources")" = 2 ]
check "twins" "deb822 URIs" grep -qx 'URIs: http://mirror.example/debian-security' "$work/src/parts/debian.sources"
check "twins" "one-line" grep -qx 'deb-src http://other.example/debian bookworm main' "$work/src/sources.list"

# Packages dpkg already lists are not asked for again.
check "missing" "only what is not installed" \
  [ "$(INSTALLED="cmake wine" kyr_apt_missing cmake xvfb wine | tr '\n' ' ')" = "xvfb " ]

[ "$failures" -eq 0 ] && echo "setup apt: all rows pass"
exit $((failures > 0))
