#!/usr/bin/env bash
# Builds the language-model runner llama-completion from the llama.cpp git bundle
# that the npm package node-llama-cpp ships, into $PREFIX/llama/bin. Only the
# binary is installed: llama's ggml has the same library names as whisper's at
# another version, so none of its libraries may sit beside whisper's.
# Skips the build when that prefix already holds this exact build.
set -euo pipefail

npm_pkg=node-llama-cpp
npm_version=3.21.1

# shellcheck source-path=SCRIPTDIR source=lib/common.sh
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lib/common.sh"
deps_init llama llama-completion
src="$work/llama.cpp"

stamp="$(deps_stamp "$npm_pkg@$npm_version")"
if deps_up_to_date llama-completion; then
  echo "[deps] llama-completion ($npm_pkg@$npm_version) is up to date in $dest"
  exit 0
fi

echo "[deps] building llama-completion ($npm_pkg@$npm_version) into $dest"
started=$SECONDS
mkdir -p "$work"
rm -rf "$work/package" "$src" "$build" "$work"/*.tgz
: >"$log"

deps_unpack package/llama/gitRelease.bundle
step git -c advice.detachedHead=false clone --quiet "$work/package/llama/gitRelease.bundle" "$src"
rm -rf "$work/package"

# This version never flushes its asynchronous log before returning from main, so
# the tail of the generated text is lost when stdout is a pipe. Pause (flush and
# stop) the log worker right after the backend is freed.
completion="$src/tools/completion/completion.cpp"
awk '
  { print }
  /^[[:space:]]*llama_backend_free\(\);[[:space:]]*$/ {
    match($0, /^[[:space:]]*/)
    print substr($0, 1, RLENGTH) "common_log_pause(common_log_main());"
    n++
  }
  END { if (n != 1) exit 3 }
' "$completion" >"$completion.new" || {
  echo "[deps] llama-completion: expected exactly one 'llama_backend_free();' line in $completion" >&2
  exit 1
}
mv "$completion.new" "$completion"
grep -A1 -E '^[[:space:]]*llama_backend_free\(\);' "$completion" | grep -q 'common_log_pause(common_log_main());' || {
  echo "[deps] llama-completion: the log flush patch did not apply" >&2
  exit 1
}
# The early error returns lose their messages the same way: flush once more in
# main, after any return (pausing twice is harmless).
entry="$src/tools/completion/main.cpp"
[[ "$(grep -c '^[[:space:]]*return llama_completion(argc, argv);[[:space:]]*$' "$entry")" == 1 ]] || {
  echo "[deps] llama-completion: expected exactly one 'return llama_completion(argc, argv);' in $entry" >&2
  exit 1
}
sed -i -e '1i #include "log.h"' \
  -e 's/^\([[:space:]]*\)return llama_completion(argc, argv);[[:space:]]*$/\1const int rc = llama_completion(argc, argv);\n\1common_log_pause(common_log_main());\n\1return rc;/' \
  "$entry"
grep -q '^[[:space:]]*common_log_pause(common_log_main());' "$entry" || {
  echo "[deps] llama-completion: the exit flush patch did not apply" >&2
  exit 1
}

# Build time, not behaviour: every model file begins with models.h, so one
# precompiled header for those files saves most of their parse time; argument
# parsing, chat templates and the HTTP client are off the inference path, and
# -O1 roughly halves their compile time.
if [[ ! -f "$src/src/models/models.h" ]] || ! grep -q 'LLAMA_MODELS_SOURCES' "$src/src/CMakeLists.txt"; then
  echo "[deps] llama-completion: src/models layout not as expected" >&2
  exit 1
fi
cat >>"$src/src/CMakeLists.txt" <<'EOF'

# Added by Nimbrel's build script: precompiled models.h for the model files only.
target_precompile_headers(llama PRIVATE models/models.h)
get_target_property(_nimbrel_other_sources llama SOURCES)
list(REMOVE_ITEM _nimbrel_other_sources ${LLAMA_MODELS_SOURCES})
set_source_files_properties(${_nimbrel_other_sources} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
EOF
cat >>"$src/CMakeLists.txt" <<'EOF'

# Added by Nimbrel's build script: cheaper optimisation off the inference path.
foreach(_nimbrel_target llama-common cpp-httplib)
    if (TARGET ${_nimbrel_target})
        target_compile_options(${_nimbrel_target} PRIVATE -O1)
    endif()
endforeach()
EOF

step cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_SHARED_LIBS=OFF \
  -DLLAMA_BUILD_COMMON=ON \
  -DLLAMA_BUILD_TOOLS=ON \
  -DLLAMA_BUILD_TESTS=OFF \
  -DLLAMA_BUILD_EXAMPLES=OFF \
  -DLLAMA_BUILD_SERVER=OFF \
  -DLLAMA_BUILD_APP=OFF \
  -DLLAMA_BUILD_UI=OFF \
  -DLLAMA_USE_PREBUILT_UI=OFF \
  -DLLAMA_CURL=OFF \
  -DLLAMA_OPENSSL=OFF \
  -DLLAMA_LLGUIDANCE=OFF \
  -DGGML_NATIVE=ON \
  -DGGML_BACKEND_DL=OFF \
  -DGGML_BLAS=OFF \
  -DGGML_CUDA=OFF \
  -DGGML_VULKAN=OFF \
  -DGGML_CCACHE=OFF

step cmake --build "$build" --target llama-completion -j "$(nproc)"

new="$PREFIX/.llama.new"
rm -rf "$new"
mkdir -p "$new/bin"
cp "$build/bin/llama-completion" "$new/bin/llama-completion"
deps_install "$new" llama-completion
rm -rf "$src" "$build" "$work"/*.tgz
echo "[deps] llama-completion installed in $dest ($((SECONDS - started)) s)"
