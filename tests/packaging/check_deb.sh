#!/bin/sh
# Packs a built tree as the release does (.deb and .tar.gz) and checks the packages: the .deb's
# files, its computed dependencies, lintian, and the tool run from the package unpacked into a
# scratch root. Usage: check_deb.sh BUILD_TREE
set -eu
tree="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tree" && cpack -G "DEB;TGZ" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$(ls "$scratch"/out/tessivane-vorelline_*_amd64.deb)"
tgz="$(ls "$scratch"/out/tessivane-vorelline-*-linux-x86_64.tar.gz)"

module=lib/vst3/TessivaneVorelline.vst3/Contents/x86_64-linux/TessivaneVorelline.so
expected="./usr/bin/vorelline
./usr/$module
./usr/share/doc/tessivane-vorelline/changelog.gz
./usr/share/doc/tessivane-vorelline/copyright
./usr/share/man/man1/vorelline.1.gz"
files="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
[ "$files" = "$expected" ] || fail "the .deb holds
$files
instead of
$expected"
# Every file belongs to root, as dpkg expects.
dpkg-deb -c "$deb" | awk '$2 != "root/root" {exit 1}' || fail "files not owned by root in the .deb"

# Dependencies come from the binaries' own libraries.
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libsndfile1 libpng16-16 libfreetype6 libxcb1; do
  case ", $depends," in *", $lib"[\ ,]*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done

# Lintian finds nothing to report.
command -v lintian >/dev/null || fail "lintian is missing (scripts/setup.sh installs it)"
report="$(lintian --allow-root "$deb" 2>/dev/null || true)"
[ -z "$report" ] || fail "lintian:
$report"

# Unpacked into a scratch root, the tool runs and its manual page reads.
dpkg-deb -x "$deb" "$scratch/root"
test -f "$scratch/root/usr/$module" || fail "module missing after unpacking"
version="$(LSAN_OPTIONS=detect_leaks=0 "$scratch/root/usr/bin/vorelline" --version)"
[ "$version" = "vorelline $(dpkg-deb -f "$deb" Version)" ] || fail "vorelline --version says: $version"
zcat "$scratch/root/usr/share/man/man1/vorelline.1.gz" | grep -q '^\.SH "vorelline export"' ||
  fail "the manual page lacks the export command"

# The archive for other distributions: the same files under one top folder, and a read-me that
# says where each belongs.
top="$(basename "$tgz" .tar.gz)"
archived="$(tar tzf "$tgz" | grep -v '/$' | sort)"
[ "$archived" = "$( (echo "$expected" | sed "s|^\./usr/|$top/|"; echo "$top/README.txt") | sort)" ] ||
  fail "the .tar.gz holds
$archived"
readme="$(tar xzf "$tgz" -O "$top/README.txt")"
for place in "lib/vst3/TessivaneVorelline.vst3/" "~/.vst3/" "/usr/lib/vst3/" "bin/vorelline" \
             "share/man/man1/vorelline.1.gz" "$(dpkg-deb -f "$deb" Version)"; do
  case "$readme" in *"$place"*) ;; *) fail "the archive's read-me does not mention $place" ;; esac
done
echo "packages as expected: $(basename "$deb"), $(basename "$tgz")"
