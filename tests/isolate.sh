#!/bin/sh
# Test launcher: runs one test process in a fresh sandbox folder of its own, so tests can run
# in parallel and never share a trace log, a lock, a settings store or hub memories.
# Usage: isolate.sh SANDBOX_ROOT LIB_DIR PROGRAM [ARGS...]
set -u
root=$1
libdir=$2
shift 2
mkdir -p "$root" || exit 1
dir=$(mktemp -d "$root/t.XXXXXX") || exit 1
mkdir -p "$dir/tmp" "$dir/config" "$dir/sim-state"
cd "$dir" || exit 1
export TMPDIR="$dir/tmp"
export XDG_CONFIG_HOME="$dir/config"
export TESSARO_SIM_STATE="$dir/sim-state"
export TESSARO_LIB_DIR="$libdir"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
unset TESSARO_SIM_BENCH
"$@"
rc=$?
if [ "$rc" -eq 0 ] && [ -z "${TESSARO_KEEP_SANDBOX:-}" ]; then
    rm -rf "$dir"
fi
exit "$rc"
