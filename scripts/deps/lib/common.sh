# shellcheck shell=bash disable=SC2034,SC2154  # variables shared with the sourcing script
# What the bundled tool builds in scripts/deps share. Sourced by them, never run
# itself: scripts/setup runs only the scripts directly in scripts/deps.
# Every build's stamp hashes this file too, so a change here rebuilds the tools.

deps_lib="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
# The build script that sourced this file.
deps_script="$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)/$(basename "${BASH_SOURCE[1]}")"
root="$(cd "$(dirname "$deps_lib")/../../.." && pwd)"
PREFIX="${NIMBREL_DEPS_DIR:-$root/.deps}"
mkdir -p "$PREFIX"
PREFIX="$(cd "$PREFIX" && pwd)"

# deps_init NAME LABEL: the tool's folders in the prefix ($dest, $work, $build,
# $log) and its lock. LABEL names the tool in messages.
deps_init() {
  label="$2"
  dest="$PREFIX/$1"
  work="$PREFIX/src/$1"
  build="$work/build"
  log="$work/build.log"
  # One build per prefix at a time: a second run waits, then finds the stamp.
  exec 9>"$PREFIX/.$1.lock"
  if ! flock -n 9; then
    echo "[deps] waiting for another $label build in $PREFIX"
    flock 9
  fi
}

# deps_stamp VERSIONS: what a finished build records, and what a later run
# compares to decide whether to build again.
deps_stamp() {
  local cpu scripts
  # ggml is compiled with -march=native, so another CPU must rebuild rather than die of SIGILL.
  cpu="$(grep -m1 '^flags' /proc/cpuinfo | sha256sum | cut -c1-16)"
  scripts="$(cat "$deps_script" "$deps_lib" | sha256sum | cut -c1-16)"
  echo "$1 script=$scripts cpu=$cpu"
}

# deps_up_to_date BINARY: true when $dest already holds this exact build.
deps_up_to_date() {
  [[ -f "$dest/.stamp" && "$(cat "$dest/.stamp")" == "$stamp" && -x "$dest/bin/$1" ]]
}

# Quiet unless a step fails; then show what it said.
step() {
  if ! "$@" >>"$log" 2>&1; then
    echo "[deps] $label: failed: $*" >&2
    grep -E 'error|FAILED|Error' "$log" | head -n 40 >&2 || true
    echo "[deps] --- last lines of $log ---" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

# deps_unpack MEMBER: fetches the npm package $npm_pkg@$npm_version into $work
# and unpacks MEMBER of it there.
deps_unpack() {
  # The npm cache lives in the work folder so nothing outside the prefix is touched;
  # --loglevel=error rather than --silent, which would hide why a fetch failed.
  (cd "$work" && step npm pack --loglevel=error --cache "$work/npm-cache" "$npm_pkg@$npm_version")
  step tar -xzf "$work/$npm_pkg-$npm_version.tgz" -C "$work" "$1"
}

# deps_install NEW BINARY: once NEW's BINARY runs, stamps NEW and puts it in
# place of $dest. Other checkouts may run the tool from this prefix while we
# build, so the finished tree replaces the old one by renames.
deps_install() {
  step "$1/bin/$2" --version
  echo "$stamp" >"$1/.stamp"
  rm -rf "$dest.old"
  if [[ -e "$dest" ]]; then mv "$dest" "$dest.old"; fi
  mv "$1" "$dest"
  rm -rf "$dest.old"
}
