#!/usr/bin/env bash
# Builds a static libpng for the Windows tree from Debian's libpng source package, against the
# mingw zlib (libz-mingw-w64-dev), and installs it into build/deps/win64. Does nothing when the
# library is already there. Only the library is built: no tests, no shared objects.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prefix="$here/build/deps/win64"
work="$here/build/deps/src"
host=x86_64-w64-mingw32

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  exit 0
fi

# Another worktree of the same repository may have built it already.
common="$(git -C "$here" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)"
if [ -n "$common" ]; then
  shared="$(dirname "$common")/build/deps/win64"
  if [ "$shared" != "$prefix" ] && [ -f "$shared/lib/libpng16.a" ] && [ -f "$shared/include/libpng16/png.h" ]; then
    mkdir -p "$prefix"
    cp -a "$shared/include" "$shared/lib" "$prefix/"
    echo "libpng-win64: copied from $shared"
    exit 0
  fi
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# apt-get source needs source entries; derive them from the machine's own binary entries.
has_src() {
  grep -Eqs '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
}
if ! has_src; then
  tmp="$(mktemp)"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" >>"$tmp"
    echo >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$tmp.list"
  fi
  [ -s "$tmp" ] && "${sudo_cmd[@]}" install -m 644 "$tmp" /etc/apt/sources.list.d/tessivane-src.sources
  [ -s "$tmp.list" 2>/dev/null ] && "${sudo_cmd[@]}" install -m 644 "$tmp.list" /etc/apt/sources.list.d/tessivane-src.list
  rm -f "$tmp" "$tmp.list"
  "${sudo_cmd[@]}" apt-get update -qq
fi

mkdir -p "$work"
cd "$work"
src="$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n1)"
if [ -z "$src" ]; then
  echo "libpng-win64: fetching the libpng source package"
  # Newest first; a mirror may lack one of the versions it lists.
  for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}' | sort -rV); do
    apt-get source -qq "libpng1.6=$v" >/dev/null 2>&1 && break
    rm -rf libpng1.6_* libpng1.6-*
  done
  src="$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n1)"
fi
[ -n "$src" ] || { echo "libpng-win64: no libpng source" >&2; exit 1; }

echo "libpng-win64: building into $prefix"
rm -rf build-win64
mkdir build-win64
cd build-win64
"../$src/configure" --host=$host --prefix="$prefix" --enable-static --disable-shared \
  --without-binconfigs \
  CPPFLAGS="-I/usr/$host/include" LDFLAGS="-L/usr/$host/lib" CFLAGS="-O2" >/dev/null
make -j"${TV_JOBS:-2}" libpng16.la >/dev/null
make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS >/dev/null
# The usual top-level names.
cd "$prefix/include" && for h in png.h pngconf.h pnglibconf.h; do ln -sf "libpng16/$h" "$h"; done
cd "$prefix/lib" && ln -sf libpng16.a libpng.a
echo "libpng-win64: done"
