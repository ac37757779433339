#!/usr/bin/env bash
# Builds a Debian package of a finished build: `cmake --install` into a staging folder, then what
# Debian policy asks of a binary package (compressed man pages and changelog, the copyright file,
# md5sums, library dependencies from dpkg-shlibdeps), then dpkg-deb; lintian checks the result.
#   scripts/deb.sh BUILD_DIR   writes BUILD_DIR/glyphary_VERSION_ARCH.deb
# MAINTAINER (default "Glyphary developers <glyphary@localhost.invalid>") names the Maintainer.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:?usage: scripts/deb.sh BUILD_DIR}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
arch=$(dpkg --print-architecture)
maintainer=${MAINTAINER:-Glyphary developers <glyphary@localhost.invalid>}
deb=$build_dir/glyphary_${version}_${arch}.deb

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/glyphary
DESTDIR=$stage cmake --install "$build_dir" --prefix /usr >/dev/null
# As dh_strip does: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note --strip-unneeded \
  "$stage"/usr/lib/glyphary/glyphary "$stage"/usr/lib/glyphary/glyphary-*

doc=$stage/usr/share/doc/glyphary
install -d "$doc"
install -m 644 "$here/packaging/debian/copyright" "$doc/copyright"
# A native package's changelog: one entry for the version built, dated by the last commit.
date=$(git -C "$here" log -1 --format=%aD 2>/dev/null || date -R)
printf 'glyphary (%s) unstable; urgency=medium\n\n  * Package built from the Glyphary sources%s.\n\n -- %s  %s\n' \
  "$version" "$(git -C "$here" log -1 --format=' at commit %h' 2>/dev/null || true)" "$maintainer" "$date" \
  | gzip -9n >"$doc/changelog.gz"
gzip -9n "$stage"/usr/share/man/man1/*.1

# Installed files get the modes Debian expects whatever the umask was.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod go-w {} +

# dpkg-shlibdeps reads a debian/control for the package it works for.
mkdir -p "$work/debian"
printf 'Source: glyphary\n\nPackage: glyphary\nArchitecture: any\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "$stage"/usr/lib/glyphary/glyphary "$stage"/usr/lib/glyphary/glyphary-* 2>/dev/null \
  | sed -n 's/^shlibs:Depends=//p')

install -d "$stage/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s|@VERSION@|$version|" -e "s|@ARCH@|$arch|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@SIZE@|$size|" -e "s|@DEPENDS@|$depends|" "$here/packaging/debian/control" >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f | LC_ALL=C sort | xargs -d '\n' md5sum) >"$stage/DEBIAN/md5sums"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "Built $deb"
if command -v lintian >/dev/null; then
  lintian --info "$deb" || { echo "lintian reports errors" >&2; exit 1; }
fi
