#!/usr/bin/env bash
# Builds whisper.cpp from the source that the npm package nodejs-whisper ships:
# static libwhisper + ggml with their CMake package (find_package(whisper) with
# CMAKE_PREFIX_PATH=$PREFIX/whisper) and the whisper-cli tool, into $PREFIX/whisper.
# Skips the build when that prefix already holds this exact build.
set -euo pipefail

npm_pkg=nodejs-whisper
npm_version=0.3.1
whisper_version=1.9.1

script="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
root="$(cd "$(dirname "$script")/../.." && pwd)"
PREFIX="${NIMBREL_DEPS_DIR:-$root/.deps}"
mkdir -p "$PREFIX"
PREFIX="$(cd "$PREFIX" && pwd)"
dest="$PREFIX/whisper"
work="$PREFIX/src/whisper"
src="$work/package/cpp/whisper.cpp"
build="$work/build"
log="$work/build.log"

# One build per prefix at a time: a second run waits, then finds the stamp.
exec 9>"$PREFIX/.whisper.lock"
if ! flock -n 9; then
  echo "[deps] waiting for another whisper.cpp build in $PREFIX"
  flock 9
fi

# ggml is compiled with -march=native, so another CPU must rebuild rather than die of SIGILL.
cpu="$(grep -m1 '^flags' /proc/cpuinfo | sha256sum | cut -c1-16)"
stamp="$npm_pkg@$npm_version whisper.cpp@$whisper_version script=$(sha256sum "$script" | cut -c1-16) cpu=$cpu"
if [[ -f "$dest/.stamp" && "$(cat "$dest/.stamp")" == "$stamp" && -x "$dest/bin/whisper-cli" ]]; then
  echo "[deps] whisper.cpp $whisper_version is up to date in $dest"
  exit 0
fi

echo "[deps] building whisper.cpp $whisper_version ($npm_pkg@$npm_version) into $dest"
started=$SECONDS
mkdir -p "$work"
rm -rf "$work/package" "$build" "$work"/*.tgz
: >"$log"

# Quiet unless a step fails; then show what it said.
step() {
  if ! "$@" >>"$log" 2>&1; then
    echo "[deps] whisper.cpp: failed: $*" >&2
    grep -E 'error|FAILED|Error' "$log" | head -n 40 >&2 || true
    echo "[deps] --- last lines of $log ---" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

# The npm cache lives in the work folder so nothing outside the prefix is touched;
# --loglevel=error rather than --silent, which would hide why a fetch failed.
(cd "$work" && step npm pack --loglevel=error --cache "$work/npm-cache" "$npm_pkg@$npm_version")
step tar -xzf "$work/$npm_pkg-$npm_version.tgz" -C "$work" package/cpp/whisper.cpp
grep -q "project(\"whisper.cpp\" VERSION $whisper_version)" "$src/CMakeLists.txt" || {
  echo "[deps] whisper.cpp: $npm_pkg@$npm_version does not carry whisper.cpp $whisper_version" >&2
  exit 1
}

# The example helpers (audio file decoding through miniaudio, argument parsing)
# are far off the inference path, and at -O3 their single miniaudio unit alone
# compiles for over a minute.
cat >>"$src/CMakeLists.txt" <<'EOF'

# Added by Nimbrel's build script: cheaper optimisation for the example helpers.
if (TARGET common)
    target_compile_options(common PRIVATE -O1)
endif()
EOF

# The unpacked tree may sit inside our repository: keep its git probes from
# reporting our commit as whisper's.
export GIT_CEILING_DIRECTORIES="$work"

step cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$dest" \
  -DCMAKE_INSTALL_LIBDIR=lib \
  -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
  -DBUILD_SHARED_LIBS=OFF \
  -DWHISPER_BUILD_TESTS=OFF \
  -DWHISPER_BUILD_SERVER=OFF \
  -DWHISPER_BUILD_EXAMPLES=ON \
  -DWHISPER_SDL2=OFF \
  -DWHISPER_CURL=OFF \
  -DWHISPER_COMMON_FFMPEG=OFF \
  -DGGML_NATIVE=ON \
  -DGGML_BACKEND_DL=OFF \
  -DGGML_BLAS=OFF \
  -DGGML_CUDA=OFF \
  -DGGML_VULKAN=OFF \
  -DGGML_CCACHE=OFF

# Only what we use: the libraries and whisper-cli (parakeet because the top-level
# install rules list it). The other examples are configured but never built.
step cmake --build "$build" --target whisper-cli parakeet -j "$(nproc)"

# `cmake --install` would want every example built, so install per directory:
# the top level alone (whisper, its headers and package files), ggml, whisper-cli.
# Into a staging copy first: other checkouts may run whisper-cli from this prefix
# while we build, so the finished tree replaces the old one by renames.
stage="$PREFIX/.whisper.stage"
rm -rf "$stage"
step env DESTDIR="$stage" cmake -DCMAKE_INSTALL_LOCAL_ONLY=ON -P "$build/cmake_install.cmake"
step env DESTDIR="$stage" cmake -P "$build/ggml/cmake_install.cmake"
step env DESTDIR="$stage" cmake -DCMAKE_INSTALL_LOCAL_ONLY=ON -P "$build/examples/cli/cmake_install.cmake"
new="$stage$dest"

# whisper's package file looks for ggml under a llama variable that is never set:
# point it at the ggml installed beside it, and only there, so another ggml on the
# system can never be mixed in.
cfg="$new/lib/cmake/whisper/whisper-config.cmake"
# shellcheck disable=SC2016  # CMake variables, not shell ones
grep -qF 'find_package(ggml REQUIRED HINTS ${LLAMA_LIB_DIR}/cmake)' "$cfg" || {
  echo "[deps] whisper.cpp: unexpected ggml lookup in $cfg" >&2
  exit 1
}
# shellcheck disable=SC2016
sed -i 's|find_package(ggml REQUIRED HINTS ${LLAMA_LIB_DIR}/cmake)|find_package(ggml REQUIRED CONFIG PATHS "${WHISPER_LIB_DIR}/cmake/ggml" NO_DEFAULT_PATH)|' "$cfg"
grep -qF 'NO_DEFAULT_PATH' "$cfg" || { echo "[deps] whisper.cpp: could not fix the ggml lookup in $cfg" >&2; exit 1; }
# The version files carry names find_package() does not look for; add the ones
# it does, so a version can be required.
cp "$new/lib/cmake/whisper/whisper-version.cmake" "$new/lib/cmake/whisper/whisper-config-version.cmake"
cp "$new/lib/cmake/ggml/ggml-version.cmake" "$new/lib/cmake/ggml/ggml-config-version.cmake"

step "$new/bin/whisper-cli" --version
echo "$stamp" >"$new/.stamp"
rm -rf "$dest.old"
if [[ -e "$dest" ]]; then mv "$dest" "$dest.old"; fi
mv "$new" "$dest"
rm -rf "$dest.old" "$stage" "$work/package" "$build" "$work"/*.tgz
echo "[deps] whisper.cpp $whisper_version installed in $dest ($((SECONDS - started)) s)"
