#!/bin/bash
# A real update from a local sample release, under Wine:
#   1. builds launcher.exe for the update server 127.0.0.1:$DEMO_PORT and a
#      sample main program T.exe that records its command line;
#   2. lays out a release folder (the manifest /marlowtrade/marlow2.t, T.exe
#      and two data files) and serves it with python3 -m http.server;
#   3. puts launcher.exe alone into a fresh run folder and runs it: T.exe is
#      missing, so it shows its window, downloads every listed file, verifies
#      it and starts T.exe with the launch token;
#   4. runs it once more: everything is current, so T.exe starts at once and
#      no window is shown;
#   5. prints the files with their digests and T.exe's command line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

port=${DEMO_PORT:-18574}
jobs=${JOBS:-2}
build=$root/build/demo
state=$build/wine
release=$build/release

bash .ci/install-deps.sh

echo "== building launcher.exe for 127.0.0.1:$port"
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DLAUNCHER_UPDATE_HOST="127.0.0.1:$port" >/dev/null
cmake --build "$build" -j"$jobs" --target launcher fake_main_program >/dev/null

echo "== sample release in $release"
rm -rf "$release"
mkdir -p "$release/marlowtrade" "$release/files"
cp "$build/bin/fake_t.exe" "$release/files/T.exe"
printf 'Sample release notes\r\nVersion 2\r\n' > "$release/files/readme.txt"
head -c 300000 /dev/urandom > "$release/files/data.bin"
entries=()
for name in T.exe readme.txt data.bin; do
  digest=$(md5sum "$release/files/$name" | cut -d' ' -f1)
  entries+=("{\"urlname\": \"$name\", \"urlmd5\": \"$digest\", \"url\": \"http://127.0.0.1:$port/files/$name\"}")
done
(IFS=,; printf '{"url": [%s]}\n' "${entries[*]}") > "$release/marlowtrade/marlow2.t"
cat "$release/marlowtrade/marlow2.t"

server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  "$root/cmake/wine-test-env.sh" stop "$state" >/dev/null 2>&1 || true
}
trap cleanup EXIT

python3 -m http.server "$port" --bind 127.0.0.1 --directory "$release" >"$build/http.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
  curl -sf "http://127.0.0.1:$port/marlowtrade/marlow2.t" >/dev/null && break
  sleep 0.1
done

echo "== starting Wine (Xvfb, prefix $state/prefix)"
"$root/cmake/wine-test-env.sh" start "$state"

drive_c=$state/prefix/drive_c
run_folder=$drive_c/launcher-demo/run-$(date +%Y%m%d-%H%M%S)
mkdir -p "$run_folder"
cp "$build/bin/launcher.exe" "$run_folder/launcher.exe"
windows_folder="C:\\launcher-demo\\$(basename "$run_folder")"

run_launcher() {
  rm -f "$run_folder/command_line.txt"
  local status=0
  LC_ALL=zh_CN.UTF-8 timeout "${DEMO_TIMEOUT:-180}" \
    "$root/cmake/wine-run.sh" "$state" "$windows_folder\\launcher.exe" || status=$?
  if [ "$status" -eq 124 ]; then
    echo "   the launcher did not end within ${DEMO_TIMEOUT:-180} s"
    return 1
  fi
  for _ in $(seq 100); do [ -f "$run_folder/command_line.txt" ] && break; sleep 0.1; done
}

show_result() {
  echo "   files in $windows_folder:"
  local name expected actual
  for name in T.exe readme.txt data.bin; do
    expected=$(md5sum "$release/files/$name" | cut -d' ' -f1)
    if [ -f "$run_folder/$name" ]; then
      actual=$(md5sum "$run_folder/$name" | cut -d' ' -f1)
      [ "$actual" = "$expected" ] && verdict="matches the manifest" || verdict="DIFFERS from $expected"
      printf '     %-12s %s  %s\n' "$name" "$actual" "$verdict"
    else
      printf '     %-12s missing\n' "$name"
    fi
  done
  if [ -f "$run_folder/command_line.txt" ]; then
    echo "   T.exe was started with the command line: $(cat "$run_folder/command_line.txt")"
  else
    echo "   T.exe was not started"
  fi
}

requests_since() {
  echo "   requests the server saw:"
  tail -n +"$(($1 + 1))" "$build/http.log" | sed -n 's/.*"\(GET [^"]*\)".*/     \1/p'
}

echo "== first run: only launcher.exe in the run folder, so it updates without asking"
seen=$(wc -l < "$build/http.log")
run_launcher || true
show_result
requests_since "$seen"

echo "== second run: every file current, T.exe starts at once without a window"
seen=$(wc -l < "$build/http.log")
run_launcher || true
show_result
requests_since "$seen"
echo "(the launch token T.exe must receive is 81CB971D8)"
