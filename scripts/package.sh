#!/usr/bin/env bash
# Builds the installers into dist/ (from the build in BUILD_DIR, default build/):
#   trenov5x_VERSION_amd64.deb              the Debian package (CPack DEB)
#   trenov5x-VERSION-linux-x86_64.tar.xz    a portable folder with the Qt it
#                                           loads: copy it anywhere and start
#                                           ./trenov5x; the folder is the workspace
# VERSION is the project's CMake version. scripts/package-check.sh tests both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build_dir=${BUILD_DIR:-build}
BUILD_DIR=$build_dir scripts/build.sh
version=$("$build_dir/bin/trenov5x-cli" --version | awk '{print $2}')
mkdir -p dist
rm -f dist/trenov5x_*_amd64.deb dist/trenov5x-*-linux-x86_64.tar.xz
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The Debian package.
cpack --config "$build_dir/CPackConfig.cmake" -B "$stage/cpack" >"$stage/cpack.log" ||
  { cat "$stage/cpack.log"; exit 1; }
mv "$stage/cpack/trenov5x_${version}_amd64.deb" dist/

# The portable folder: the programs and Language/ side by side, the Qt
# libraries in lib/ (RUNPATH $ORIGIN/lib) with trenov5x-cli's PDF module,
# its plugins in plugins/ and its translations in translations/, all named
# in qt.conf.
cmake --install "$build_dir" --prefix "$stage/usr" --strip >/dev/null
name=trenov5x-$version-linux-x86_64
root=$stage/$name
mkdir -p "$root/lib" "$root/plugins" "$root/translations"
cp "$stage/usr/bin/trenov5x" "$stage/usr/bin/trenov5x-cli" "$stage/usr/bin/trenov5x-devsim" "$root/"
pdf_module=$(find "$stage/usr" -name trenov5x-pdf.so | head -n1)
[ -n "$pdf_module" ] || { echo "package.sh: trenov5x-pdf.so was not installed" >&2; exit 1; }
cp "$pdf_module" "$root/lib/"
cp -r "$stage/usr/share/trenov5x/Language" "$root/"
cp packaging/trenov5x.svg "$root/"
qt_core=$(ldd "$root/trenov5x" | awk '/libQt6Core/ {print $3}')
qt_lib_dir=$(dirname "$(readlink -f "$qt_core")")
qt_plugins=$qt_lib_dir/qt6/plugins
for plugin in platforms/libqxcb.so platforms/libqoffscreen.so platforms/libqminimal.so \
  xcbglintegrations/libqxcb-glx-integration.so imageformats/libqsvg.so iconengines/libqsvgicon.so \
  platforminputcontexts/libcomposeplatforminputcontextplugin.so; do
  mkdir -p "$root/plugins/$(dirname "$plugin")"
  cp "$qt_plugins/$plugin" "$root/plugins/$plugin"
done
for lang in it de es; do
  cp "/usr/share/qt6/translations/qtbase_$lang.qm" "$root/translations/"
done
cat >"$root/qt.conf" <<'CONF'
[Paths]
Prefix = .
Libraries = lib
Plugins = plugins
Translations = translations
CONF

# Every library the programs and plugins load, except those of the base
# system (C library, X11 core, OpenGL, fonts, GLib, compression), which must
# match the machine.
base='^(ld-linux|libc|libm|libdl|libpthread|librt|libresolv|libstdc\+\+|libgcc_s|libGL|libGLX|libGLdispatch|libEGL|libOpenGL|libdrm|libgbm|libvulkan|libwayland-|libX11|libX11-xcb|libXau|libXdmcp|libXext|libXrender|libxcb\.so|libfontconfig|libfreetype|libexpat|libpng16|libz\.so|libbrotli|libharfbuzz|libgraphite2|libbz2|libglib-2\.0|libgthread-2\.0|libgobject-2\.0|libffi|libpcre2-8|libdbus-1|libsystemd|libudev|liblzma|libzstd|liblz4|libcap|libgcrypt|libgpg-error|libselinux|libmount|libblkid|libuuid|libbsd|libmd\.so)'
mapfile -t objects < <(find "$root" -maxdepth 1 -type f -name 'trenov5x*' ! -name '*.svg'; find "$root/plugins" -name '*.so'; echo "$root/lib/trenov5x-pdf.so")
ldd "${objects[@]}" | awk '$2 == "=>" && $3 ~ /^\// {print $3}' | sort -u | while read -r lib; do
  base_name=$(basename "$lib")
  [[ $base_name =~ $base ]] && continue
  cp -L "$lib" "$root/lib/$base_name"
done
for program in "$root"/trenov5x "$root"/trenov5x-cli "$root"/trenov5x-devsim; do
  patchelf --set-rpath '$ORIGIN/lib' "$program"
done
for lib in "$root"/lib/*.so*; do
  patchelf --set-rpath '$ORIGIN' "$lib"
done
for plugin in "$root"/plugins/*/*.so; do
  patchelf --set-rpath '$ORIGIN/../../lib' "$plugin"
done
chmod -R u=rwX,go=rX "$root"
tar -C "$stage" --owner=0 --group=0 --numeric-owner --sort=name -cf - "$name" |
  xz -9 -T2 >"dist/$name.tar.xz"
ls -l dist/trenov5x_"${version}"_amd64.deb "dist/$name.tar.xz"
