#!/usr/bin/env bash
# Usage: test_package.sh BUILD_DIR PROJECT_VERSION SOURCE_DIR BUILD_TYPE
# Makes the Debian package with cpack and checks what it holds, what it needs
# and what lintian says of it. 77: a Debug build, which is not packaged.
set -uo pipefail
build=$1 projver=$2 src=$3 buildtype=$4
if [ "$buildtype" = Debug ]; then echo "a Debug build is not packaged"; exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack -G DEB"; exit 1; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { ls "$work/out"; echo "FAIL: not one package"; exit 1; }
deb=${debs[0]}
field() { dpkg-deb -f "$deb" "$1"; }
version=$(field Version)
check "the version ($version) is the project's, with a Debian revision" grep -qx "$projver-[0-9][0-9a-z.+~]*" <<<"$version"
check "the file is named as Debian names it ($(basename "$deb"))" \
  test "$(basename "$deb")" = "lontaris_${version}_$(dpkg --print-architecture).deb"

# --- the file list: what `cmake --install --prefix /usr` installs, and
# Debian's own files, owned by root ---------------------------------------------
DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null 2>&1 || fail "cmake --install"
(cd "$work/root" && find . -type f -o -type l | sed 's|^\./|/|') | sort >"$work/installed"
printf '%s\n' /usr/share/doc/lontaris/copyright /usr/share/doc/lontaris/changelog.Debian.gz \
  /usr/share/lintian/overrides/lontaris >>"$work/installed"
sort -o "$work/installed" "$work/installed"
dpkg-deb -c "$deb" >"$work/listing"
awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$work/listing" | sort >"$work/packaged"
check "the package holds what an install does, and Debian's own files" \
  diff -u "$work/installed" "$work/packaged"
check "every path is under /usr" bash -c "! awk '{ print \$6 }' '$work/listing' | grep -v '^\./\$' | grep -qv '^\./usr/'"
check "everything is owned by root" bash -c "! awk '{ print \$2 }' '$work/listing' | grep -qvx root/root"
for f in /usr/bin/lontaris /usr/bin/pelmaro /usr/lib/lontaris/liblontaris_sound.so; do
  check "$f in the package" grep -qx "$f" "$work/packaged"
done
dpkg-deb -x "$deb" "$work/x"
check "the changelog names this version" \
  grep -q "^lontaris ($version) " <(zcat "$work/x/usr/share/doc/lontaris/changelog.Debian.gz")
# The manual pages name every option that --help prints.
for page in man6/lontaris.6 man1/pelmaro.1; do
  program=$(basename "${page%.*}")
  QT_QPA_PLATFORM=offscreen "$build/bin/$program" --help >"$work/help" 2>&1
  text=$(zcat "$work/x/usr/share/man/$page.gz" | sed 's/\\-/-/g')
  for option in $(grep -o -- '--[a-z][a-z-]*' "$work/help" | sort -u); do
    check "$page documents $option" grep -q -- "$option" <<<"$text"
  done
done

# --- Depends and Recommends ----------------------------------------------------
depends=$(field Depends) recommends=$(field Recommends)
echo "Depends: $depends"
echo "Recommends: $recommends"
has() { tr ',' '\n' <<<"$1" | sed 's/^ *//' | grep -q "^$2"; }
for p in libqt6widgets6 libqt6sql6 libqt6multimedia6 libcrypt1 libqt6sql6-sqlite "fonts-dejavu-core |"; do
  check "Depends: $p" has "$depends" "$p"
done
for p in libqt6sql6-psql libpq5; do
  check "Recommends: $p" has "$recommends" "$p"
  check "$p is not depended on" bash -c "! grep -q '$p' <<<'$depends'"
done

# A module that is loaded only when it is used has its libraries recommended:
# a staged tree with an unstripped program, such a module (Qt's PostgreSQL
# driver, which links libpq) and the required sound module (Qt Multimedia).
stage=$work/stage
mkdir -p "$stage/usr/bin" "$stage/usr/lib/lontaris"
cp "$build/bin/lontaris" "$stage/usr/bin/"
cp "$(dpkg -L libqt6sql6-psql | grep -m1 '/libqsqlpsql\.so$')" "$stage/usr/lib/lontaris/liblontaris_store.so"
cp "$work/x/usr/lib/lontaris/liblontaris_sound.so" "$stage/usr/lib/lontaris/"
stage_script() { # stage_script BUILD_TYPE: what cpack runs over its staged files
  cmake -DCPACK_TEMPORARY_DIRECTORY="$stage" -DCPACK_TOPLEVEL_DIRECTORY="$work/top" \
    -DCPACK_LONTARIS_BUILD_TYPE="$1" -DCPACK_LONTARIS_REQUIRED_MODULES=liblontaris_sound.so \
    -DCPACK_LONTARIS_DEBIAN_DIR="$src/packaging" -DCPACK_PACKAGE_VERSION="${version%-*}" \
    -DCPACK_DEBIAN_PACKAGE_RELEASE="${version##*-}" -DCPACK_DEBIAN_PACKAGE_DEPENDS=x \
    -DCPACK_DEBIAN_PACKAGE_RECOMMENDS=y -P "$src/packaging/deb-stage.cmake"
}
stage_script Release >"$work/staged" 2>&1 || { cat "$work/staged"; fail "the staged tree"; }
staged_depends=$(sed -n 's/^-- Depends: //p' "$work/staged")
staged_recommends=$(sed -n 's/^-- Recommends: //p' "$work/staged")
check "an optional module's library is recommended ($staged_recommends)" has "$staged_recommends" libpq5
check "... and not depended on ($staged_depends)" bash -c "! grep -q libpq5 <<<'$staged_depends'"
check "a required module's library is depended on" has "$staged_depends" libqt6multimedia6
check "the program was stripped" bash -c "! readelf -S --wide '$stage/usr/bin/lontaris' | grep -Eq '\.symtab|\.debug_|\.comment'"
stage_script Debug >"$work/debug" 2>&1
check "a Debug build is refused" grep -q "Debug build is not packaged" "$work/debug"

# --- lintian -------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
  rc=$?
  cat "$work/lintian"
  check "lintian reports no error (rc $rc)" test "$rc" = 0
else
  echo "lintian is not installed: not run"
fi

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all package checks passed"
