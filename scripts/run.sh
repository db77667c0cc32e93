#!/usr/bin/env bash
# Installs what is missing, builds, starts a virtual unit unless a real one is
# attached, and opens vsadjust (or the program named as the first argument:
# vsupdate). The virtual unit stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vsadjust vsupdate zova3-sim

program=${1:-vsadjust}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "$program: no display to show its window on (DISPLAY and WAYLAND_DISPLAY are not set)" >&2
  exit 1
fi

real_unit=no
for node in /sys/class/hidraw/hidraw*; do
  [[ -e "$node" ]] || continue
  ids=$(grep -ho 'HID_ID=[0-9A-Fa-f:]*' "$node/device/uevent" 2>/dev/null || true)
  case "${ids^^}" in
    *:000017A7:00000001|*:000017A7:00000002|*:000004D8:00000000) real_unit=yes ;;
  esac
done

sim_pid=
if [[ $real_unit == no ]]; then
  build/sim/zova3-sim &
  sim_pid=$!
  trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
  # The program looks for units once, at start-up: wait until the socket is there.
  sock_dir=${XDG_RUNTIME_DIR:+$XDG_RUNTIME_DIR/zova3}
  sock_dir=${sock_dir:-/tmp/zova3-$(id -u)}
  for _ in $(seq 50); do [[ -S "$sock_dir/zova3-sim.sock" ]] && break; sleep 0.1; done
fi

status=0
case "$program" in
  vsadjust) build/adjust/vsadjust || status=$? ;;
  vsupdate) build/update/vsupdate || status=$? ;;
  *) echo "unknown program: $program (vsadjust or vsupdate)" >&2; status=2 ;;
esac
exit "$status"
