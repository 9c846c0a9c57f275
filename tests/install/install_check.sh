#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs
# from there: --version of each, and apsim finding the MIB by itself from a
# directory that holds none.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'kill $apsim_pid 2>/dev/null || true; rm -rf "$prefix"' EXIT
apsim_pid=
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in halvane brenlow trelling apsim; do
  out=$(env -u DISPLAY QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --version 2>/dev/null)
  case "$out" in "$program "[0-9]*) echo "ok: $out" ;; *) echo "FAIL: $program --version gave '$out'"; exit 1 ;; esac
done
for f in share/qx9304/QX9304.mib share/qx9304/docs/index.html \
         share/applications/halvane.desktop share/applications/brenlow.desktop \
         share/applications/trelling.desktop share/icons/hicolor/scalable/apps/halvane.svg; do
  [ -f "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done

# The installed emulator finds the installed MIB (cwd has none).
port=$((30000 + RANDOM % 20000))
cd "$prefix"
"$prefix/bin/apsim" --bind 127.0.0.1 --port $port --broadcast none > "$prefix/apsim.log" 2>&1 &
apsim_pid=$!
for _ in $(seq 50); do grep -q "ready on" "$prefix/apsim.log" && break; sleep 0.1; done
grep -q "ready on" "$prefix/apsim.log" || { echo "FAIL: installed apsim did not start:"; cat "$prefix/apsim.log"; exit 1; }
echo "ok: installed apsim found its MIB"
