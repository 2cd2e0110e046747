#!/usr/bin/env bash
# Builds whisper.cpp from the source that the npm package nodejs-whisper ships:
# static libwhisper + ggml with their CMake package (find_package(whisper) with
# CMAKE_PREFIX_PATH=$PREFIX/whisper) and the whisper-cli tool, into $PREFIX/whisper.
# Skips the build when that prefix already holds this exact build.
set -euo pipefail

npm_pkg=nodejs-whisper
npm_version=0.3.1
whisper_version=1.9.1

# shellcheck source-path=SCRIPTDIR source=lib/common.sh
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lib/common.sh"
deps_init whisper whisper.cpp
src="$work/package/cpp/whisper.cpp"

stamp="$(deps_stamp "$npm_pkg@$npm_version whisper.cpp@$whisper_version")"
if deps_up_to_date whisper-cli; then
  echo "[deps] whisper.cpp $whisper_version is up to date in $dest"
  exit 0
fi

echo "[deps] building whisper.cpp $whisper_version ($npm_pkg@$npm_version) into $dest"
started=$SECONDS
mkdir -p "$work"
rm -rf "$work/package" "$build" "$work"/*.tgz
: >"$log"

deps_unpack package/cpp/whisper.cpp
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
# Into a staging copy first, which deps_install then puts in place.
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

deps_install "$new" whisper-cli
rm -rf "$stage" "$work/package" "$build" "$work"/*.tgz
echo "[deps] whisper.cpp $whisper_version installed in $dest ($((SECONDS - started)) s)"
