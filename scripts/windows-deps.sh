#!/usr/bin/env bash
# The libraries of the Windows build, cross-compiled from their own sources with
# mingw-w64 into one prefix outside the clone. Sourced by windows.sh.
#
# Sources: Debian's source packages through `apt-get source`, with a deb-src list
# of our own derived from the machine's Debian entry; a package the mirror does
# not serve is taken from $QUILLFEN_WINDOWS_SOURCES, checked against its
# SHA256SUMS. The prefix is named after the versions and options below (and the
# compilers), so a build with the same ones is found again and skipped.
set -euo pipefail

QUILLFEN_WIN_HOST=x86_64-w64-mingw32
QUILLFEN_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/quillfen"

# source package | file in QUILLFEN_WINDOWS_SOURCES | library | configure options
quillfen_win_libraries=(
  "libsdl1.2|libsdl1.2_1.2.15+dfsg2.orig.tar.gz|SDL|--disable-stdio-redirect"
  "libpng1.6|libpng1.6_1.6.39.orig.tar.gz|libpng|"
  "freetype|freetype_2.12.1+dfsg.orig.tar.xz|FreeType|--without-harfbuzz --without-brotli --without-bzip2 --without-png --without-zlib"
  "sdl-image1.2|SDL_image-1.2.12.tar.gz|SDL_image|--disable-jpg --disable-tif --disable-webp --disable-png-shared"
  "sdl-ttf2.0|SDL_ttf-2.0.11.tar.gz|SDL_ttf|FREETYPE_CONFIG=/bin/false LIBS=-lfreetype"
  "sdl-mixer1.2|sdl-mixer1.2_1.2.12.orig.tar.gz|SDL_mixer|--disable-sdltest --disable-music-cmd --enable-music-wave --disable-music-mod --disable-music-mod-modplug --disable-music-midi --disable-music-timidity-midi --disable-music-native-midi --disable-music-fluidsynth-midi --disable-music-ogg --disable-music-flac --disable-music-mp3 --disable-music-mp3-mad-gpl --disable-smpegtest"
)

quillfen_win_prefix() {
  local key
  key="$( { cat "${BASH_SOURCE[0]}"; "$QUILLFEN_WIN_HOST-gcc" --version; "$QUILLFEN_WIN_HOST-g++-posix" --version
            dpkg-query -W googletest libz-mingw-w64-dev; } 2>&1 | sha256sum | cut -c1-12)"
  echo "$QUILLFEN_CACHE/win64-deps-$key"
}

# A deb-src list naming the same archive, suites and components as the machine's
# Debian entry (deb822 or one-line form), so that no address lives in the repo.
quillfen_win_source_list() {
  local out=$1 files=()
  shopt -s nullglob
  files=(/etc/apt/sources.list.d/*.sources)
  awk 'BEGIN { RS = ""; FS = "\n" }
    {
      types = uris = suites = comps = keys = ""
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        split($i, kv, ":[ \t]*"); name = kv[1]; value = substr($i, length(name) + 2); sub(/^[ \t]+/, "", value)
        if (name == "Types") types = value; else if (name == "URIs") uris = value
        else if (name == "Suites") suites = value; else if (name == "Components") comps = value
        else if (name == "Signed-By") keys = value
      }
      if (types ~ /(^| )deb( |$)/ && uris ~ /\/debian\/?$/ && !done) {
        n = split(suites, s, " ")
        for (j = 1; j <= n; j++) print "deb-src " (keys ? "[signed-by=" keys "] " : "") uris " " s[j] " " comps
        done = 1
      }
    }' "${files[@]}" /dev/null >"$out" || true
  if [ ! -s "$out" ]; then
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" && $0 ~ /\/debian\/? / { $1 = "deb-src"; print; exit }' >"$out" || true
  fi
  shopt -u nullglob
  [ -s "$out" ]
}

# Fetches the release tarball of each library into DIR/<package>.tar.*.
quillfen_win_fetch() {
  local dir=$1 apt_ok=0 entry pkg file got
  local aptdir="$QUILLFEN_CACHE/apt"
  local opts=(-o Dir::Etc::SourceList="$aptdir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
              -o Dir::State::Lists="$aptdir/lists" -o Dir::Cache="$aptdir/cache" -o Debug::NoLocking=1)
  [ "$(id -u)" -ne 0 ] || opts+=(-o APT::Sandbox::User=root)
  mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial" "$dir"
  if quillfen_win_source_list "$aptdir/sources.list" && apt-get "${opts[@]}" -qq update >"$dir/apt-update.log" 2>&1; then
    apt_ok=1
  else
    echo "No Debian source list could be used; every library comes from QUILLFEN_WINDOWS_SOURCES."
  fi
  for entry in "${quillfen_win_libraries[@]}"; do
    IFS='|' read -r pkg file _ _ <<<"$entry"
    rm -rf "$dir/apt-$pkg"; mkdir -p "$dir/apt-$pkg"
    got=""
    if [ $apt_ok = 1 ] && (cd "$dir/apt-$pkg" && apt-get "${opts[@]}" -qq source --download-only "$pkg" >apt.log 2>&1); then
      got="$(ls "$dir/apt-$pkg"/*.orig.tar.* 2>/dev/null | head -n1 || true)"
    fi
    if [ -n "$got" ]; then
      echo "  $pkg: apt-get source ($(basename "$got"))"
    else
      local sources="${QUILLFEN_WINDOWS_SOURCES:-}"
      [ -n "$sources" ] && [ -f "$sources/$file" ] || {
        echo "$pkg: apt-get source failed and QUILLFEN_WINDOWS_SOURCES holds no $file" >&2; return 1; }
      (cd "$sources" && grep " $file\$" SHA256SUMS | sha256sum --quiet -c -) || {
        echo "$pkg: $sources/$file does not match its SHA256SUMS" >&2; return 1; }
      got="$sources/$file"
      echo "  $pkg: $got (checked against SHA256SUMS)"
    fi
    cp "$got" "$dir/$pkg.tar.${got##*.tar.}"
  done
}

# Unpacks, configures, builds and installs one library into the prefix, with its
# licence in share/licences/<library>/.
quillfen_win_build_library() {
  local work=$1 prefix=$2 pkg=$3 name=$4 options=$5 src="$1/src-$3" log="$1/$3.log"
  rm -rf "$src"; mkdir -p "$src"
  tar -xf "$work/$pkg".tar.* -C "$src" --strip-components=1
  local started=$SECONDS
  # eval: the options hold NAME=VALUE words for configure.
  eval "set -- $options"
  (
    cd "$src"
    export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH=""
    ./configure --host="$QUILLFEN_WIN_HOST" --prefix="$prefix" --with-sdl-prefix="$prefix" \
      CPPFLAGS="-I$prefix/include -I$prefix/include/freetype2" LDFLAGS="-L$prefix/lib" "$@"
    if [ "$pkg" = sdl-mixer1.2 ]; then
      # Its demo programs do not link with mingw (SDLmain comes before -lmingw32): the library alone.
      make -j2 build/libSDL_mixer.la && make install-hdrs install-lib
      mkdir -p "$prefix/lib/pkgconfig" && cp SDL_mixer.pc "$prefix/lib/pkgconfig/"
    else
      make -j2 && make install
    fi
    mkdir -p "$prefix/share/licences/$name"
    for licence in COPYING* LICENSE* docs/FTL.TXT; do
      [ ! -f "$licence" ] || cp "$licence" "$prefix/share/licences/$name/"
    done
  ) >"$log" 2>&1 || { echo "$pkg failed; the end of $log:" >&2; tail -n 30 "$log" >&2; return 1; }
  echo "  $pkg built in $((SECONDS - started)) s"
}

# GoogleTest for the Windows test programs, from Debian's googletest sources.
quillfen_win_build_gtest() {
  local work=$1 prefix=$2 toolchain=$3
  cmake -S /usr/src/googletest -B "$work/gtest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQUILLFEN_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >"$work/gtest.log" 2>&1 &&
    cmake --build "$work/gtest" -j2 >>"$work/gtest.log" 2>&1 &&
    cmake --install "$work/gtest" >>"$work/gtest.log" 2>&1 ||
    { echo "googletest failed; see $work/gtest.log" >&2; return 1; }
  echo "  googletest built"
}

# Builds every library into the prefix unless a complete build is there already.
# Prints the prefix on its last line.
quillfen_win_deps() {
  local toolchain=$1 prefix
  prefix="$(quillfen_win_prefix)"
  if [ -f "$prefix/.complete" ]; then
    echo "Windows libraries: $prefix (cached)"
    return 0
  fi
  echo "Building the Windows libraries into $prefix"
  local started=$SECONDS work="$prefix.work" entry pkg options
  rm -rf "$prefix" "$work"; mkdir -p "$prefix" "$work"
  quillfen_win_fetch "$work"
  local name
  for entry in "${quillfen_win_libraries[@]}"; do
    IFS='|' read -r pkg _ name options <<<"$entry"
    quillfen_win_build_library "$work" "$prefix" "$pkg" "$name" "$options"
  done
  quillfen_win_build_gtest "$work" "$prefix" "$toolchain"
  mkdir -p "$prefix/share/licences/zlib" "$prefix/share/licences/winpthreads"
  cp /usr/share/doc/libz-mingw-w64-dev/copyright "$prefix/share/licences/zlib/"
  cp /usr/share/doc/mingw-w64-common/copyright "$prefix/share/licences/winpthreads/"
  # The programs pick SDL's start-up library themselves (the test programs have a
  # main of their own) and are console programs: the log goes to standard output.
  sed -i -e 's/-lmingw32 -lSDLmain //; s/ -mwindows//; s/ -Dmain=SDL_main//' "$prefix/lib/pkgconfig/sdl.pc"
  rm -rf "$work"
  echo "$((SECONDS - started))" >"$prefix/.complete"
  echo "Windows libraries built in $((SECONDS - started)) s"
}
