#!/usr/bin/env bash
# Benchmark of the engine through KelvorinCmd.exe under Wine, against Wine's
# xcopy in the same prefix and native rsync, on the same data in one run; S1
# also against SafeCopyFloor.exe, the least a copy through a temporary name, a
# flush and a rename per file costs, and the same without the flush; the
# window program's run against KelvorinCmd.exe's (S5); and KelvorinCmd.exe
# /Prüfen against native diff -rq of the same two trees and against
# CompareFloor.exe, the least a Win32 comparison costs (S6); S1 and S2 once
# more with the target on an exFAT image mounted by its FUSE driver as a stick
# would be (S1x, S2x), S1x against both floors on that image; the daily
# synchronising run against DailyRunFloor.exe (S3); a synchronising run with
# the store of versions on and off (S7); /Zurück to S1's backup against a
# bare copy of the same files (S8); /Stände and /Zurück with 30 states of S1's
# tree against the same with one (S9).
#   bench/run.sh [REPEATS] [S1|S2|S3|S6|S7|S8|S9]  (default 3; prints medians, ratios,
#                                    peak memory; with a scenario, that one alone
#                                    (S1 with S1x and S2x); S2 beside StampFloor.exe,
#                                    a walk and one look-up per copy)
set -euo pipefail
cd "$(dirname "$0")/.."
repeats=${1:-3}
only=${2:-}
./scripts/install-deps.sh
command -v /usr/bin/time >/dev/null || { apt-get install -y -qq time >/dev/null; }
case $only in ''|S1|S2|S3|S6|S7|S8|S9) ;; *) echo "usage: bench/run.sh [REPEATS] [S1|S2|S3|S6|S7|S8|S9]" >&2; exit 2 ;; esac
./scripts/build.sh win KelvorinCmd Kelvorin PressSichern SafeCopyFloor CompareFloor StampFloor \
  DailyRunFloor
build=$PWD/${KELVORIN_BUILD_ROOT:-build}/win

out=$PWD/bench/out
export WINEPREFIX=$out/prefix WINEDEBUG=-all LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
winpath() { echo "Z:$(echo "$1" | tr / \\\\)"; }
cmd_exe=$(winpath "$build/app/KelvorinCmd.exe")
window_exe=$(winpath "$build/app/Kelvorin.exe")
press_sichern=$build/bench/PressSichern.exe
floor_exe=$(winpath "$build/bench/SafeCopyFloor.exe")
compare_floor_exe=$(winpath "$build/bench/CompareFloor.exe")
stamp_floor_exe=$(winpath "$build/bench/StampFloor.exe")
daily_floor_exe=$(winpath "$build/bench/DailyRunFloor.exe")
mkdir -p "$out"/{src,dst,docs,big-src,big-dst}

# S5 needs windows: an X display from the first Wine process on.
xvfb_pid=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 121 150); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    break
  done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix (once)..."
  wineboot -i >/dev/null 2>&1 || true
  "$server" -w
fi
"$server" -k 2>/dev/null || true
ln -sfn "$out/src" "$WINEPREFIX/dosdevices/s:"
ln -sfn "$out/dst" "$WINEPREFIX/dosdevices/t:"
ln -sfn "$out/big-src" "$WINEPREFIX/dosdevices/u:"
ln -sfn "$out/big-dst" "$WINEPREFIX/dosdevices/w:"
ln -sfn "$out/docs" "$WINEPREFIX/dosdevices/k:"
sticks=$out/sticks
STICK_SIZE_MB=1024 tests/runner/stick-volumes.sh up "$sticks"
[ "$(cat "$sticks/exfat.state")" = mounted ] || { echo "exFAT: $(cat "$sticks/exfat.state")" >&2; exit 1; }
ln -sfn "$sticks/exfat" "$WINEPREFIX/dosdevices/x:"
"$server" -p
"$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v Personal /t REG_SZ /d 'K:' /f >/dev/null 2>&1
# Without a window manager only Wine's own frames take the keyboard focus.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
trap '"$server" -k 2>/dev/null || true; [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
      tests/runner/stick-volumes.sh down "$sticks"' EXIT

printf 'Laufwerk=19\r\nSynchron=FALSE\r\nOrdner=S:\\data\r\n' >"$out/docs/s12.ini"
printf 'Laufwerk=19\r\nSynchron=TRUE\r\nOrdner=S:\\data\r\n' >"$out/docs/s3.ini"
printf 'Laufwerk=22\r\nSynchron=FALSE\r\nOrdner=U:\\data\r\n' >"$out/docs/s4.ini"
printf 'Laufwerk=23\r\nSynchron=FALSE\r\nOrdner=S:\\data\r\n' >"$out/docs/s12x.ini"
printf 'Laufwerk=19\r\nSynchron=TRUE\r\nOrdner=S:\\data\r\n' >"$out/docs/s7.ini"
printf 'Laufwerk=19\r\nSynchron=TRUE\r\nVersionen=0\r\nOrdner=S:\\data\r\n' >"$out/docs/s7off.ini"

if [ ! -d "$out/pristine" ]; then
  echo "Making the data (once)..."
  python3 bench/tree.py make "$out/pristine" 400 50
  python3 bench/tree.py make "$out/big-src/data" 4000 50 --small-only
  rsync -a "$out/big-src/" "$out/big-dst/"
fi

results=$out/results.txt
: >"$results"

# measure LABEL TOOL COMMAND...: one timed run, "seconds peak-KiB" appended.
measure() {
  local scenario=$1 tool=$2; shift 2
  /usr/bin/time -o "$out/time.txt" -f '%e %M' "$@" >/dev/null 2>&1 || true
  echo "$scenario $tool $(tail -1 "$out/time.txt")" >>"$results"
}

fresh_source() { rsync -a --delete "$out/pristine/" "$out/src/data/"; }
# Every first backup starts with nothing of an earlier one still being written
# out: otherwise the program timed first after the data was made pays for it.
empty_target() { rm -rf "$out/dst/data"; sync; }
empty_stick() { rm -rf "$sticks/exfat/data"; sync; }
full_target() { rsync -a --delete "$out/pristine/" "$out/dst/data/"; }

# /usr/bin/time runs programs, not shell functions: these are argument lists.
kelvorin=("$wine" "$cmd_exe")
xcopy=("$wine" xcopy)
floor=("$wine" "$floor_exe")
xflags=(/S /D /Y /I /H)

# The image is a sparse file: its first writer would pay for the host's
# allocation of its blocks. Written once before anything is timed.
if [ -z "$only" ] || [ "$only" = S1 ]; then
  fresh_source
  "$wine" "$floor_exe" 'S:\data' 'X:\data' >/dev/null 2>&1 || true
  empty_stick
fi

# want SCENARIO: whether this run times it.
want() { [ -z "$only" ] || [ "$only" = "$1" ]; }
# The daily run's state: the backup of the pristine tree, no versions, then
# 1% of the files changed and 1% deleted, the same for each program of a round.
daily_state() {
  fresh_source; full_target; rm -rf "$out/dst/.Kelvorin-Versionen"
  python3 bench/tree.py mutate "$out/src/data" 1 1 "$1" >/dev/null
  sync
}

for r in $(seq "$repeats"); do
  echo "Round $r of $repeats..."
  if want S7; then
    # S7: 10% of the files changed and 5% deleted, with versions kept and without;
    # which goes first alternates, so that neither always meets a warmer cache.
    for variant in $( ((r % 2)) && echo "on off" || echo "off on"); do
      fresh_source; full_target; rm -rf "$out/dst/.Kelvorin-Versionen"; sync
      python3 bench/tree.py mutate "$out/src/data" 10 5 "$r" >/dev/null
      if [ "$variant" = on ]; then
        measure S7 kelvorin "${kelvorin[@]}" s7
      else
        measure S7 off "${kelvorin[@]}" s7off
      fi
    done
    rm -rf "$out/dst/.Kelvorin-Versionen"
  fi
  if want S1 || want S2; then
    fresh_source
    empty_target; measure S1 kelvorin "${kelvorin[@]}" s12
  fi
  if want S2; then
    # The first pass over both trees after the first backup is the slowest,
    # whichever program makes it: an untimed pass makes it, after the first
    # backup's data is written out; which of the two timed goes first
    # alternates, as in S7.
    sync
    "$wine" "$stamp_floor_exe" 'S:\data' 'T:\data' >/dev/null 2>&1 || true
    for tool in $( ((r % 2)) && echo "kelvorin floor" || echo "floor kelvorin"); do
      if [ "$tool" = kelvorin ]; then
        measure S2 kelvorin "${kelvorin[@]}" s12
      else
        measure S2 floor "$wine" "$stamp_floor_exe" 'S:\data' 'T:\data'
      fi
    done
  fi
  if want S1; then
    empty_target; measure S1 floor "${floor[@]}" 'S:\data' 'T:\data'
    empty_target; measure S1 noflush "${floor[@]}" /NoFlush 'S:\data' 'T:\data'
  fi
  if [ -z "$only" ]; then
    empty_target; measure S1 xcopy "${xcopy[@]}" 'S:\data' 'T:\data' "${xflags[@]}"
    sync; measure S2 xcopy "${xcopy[@]}" 'S:\data' 'T:\data' "${xflags[@]}"
    empty_target; measure S1 rsync rsync -rt --update "$out/src/data/" "$out/dst/data/"
    sync; measure S2 rsync rsync -rt --update "$out/src/data/" "$out/dst/data/"
  fi
  if want S1; then
    # The same on the exFAT stick, Kelvorin and both floors in one round.
    empty_stick; measure S1x kelvorin "${kelvorin[@]}" s12x
    sync; measure S2x kelvorin "${kelvorin[@]}" s12x
    empty_stick; measure S1x floor "${floor[@]}" 'S:\data' 'X:\data'
    empty_stick; measure S1x noflush "${floor[@]}" /NoFlush 'S:\data' 'X:\data'
  fi
  if want S6; then
    # S6: the check reads both trees back, every copy current; diff reads the
    # same two. As in S2, an untimed pass reads both trees once after they
    # were rewritten, and which of Kelvorin and the floor goes first alternates.
    fresh_source; full_target; sync
    "$wine" "$compare_floor_exe" 'S:\data' 'T:\data' >/dev/null 2>&1 || true
    for tool in $( ((r % 2)) && echo "kelvorin floor" || echo "floor kelvorin"); do
      if [ "$tool" = kelvorin ]; then
        measure S6 kelvorin "${kelvorin[@]}" s12 /Prüfen
      else
        measure S6 floor "$wine" "$compare_floor_exe" 'S:\data' 'T:\data'
      fi
    done
    measure S6 diff diff -rq "$out/src/data" "$out/dst/data"
  fi
  if want S8; then
    # S8: back to the newest state of S1's first backup, into an empty folder,
    # against a bare copy of the same files; which goes first alternates.
    fresh_source; empty_target; rm -rf "$out/dst/.Kelvorin-Versionen"
    "${kelvorin[@]}" s12 >/dev/null 2>&1 || true
    for tool in $( ((r % 2)) && echo "kelvorin floor" || echo "floor kelvorin"); do
      rm -rf "$out/docs/zurueck"; sync
      if [ "$tool" = kelvorin ]; then
        measure S8 kelvorin "${kelvorin[@]}" s12 /Zurück:2999-12-31 '/Nach:K:\zurueck'
      else
        measure S8 floor "${floor[@]}" /Bare 'T:\data' 'K:\zurueck\S\data'
      fi
    done
    rm -rf "$out/docs/zurueck" "$out/dst/.Kelvorin-Versionen"
  fi
  if want S9; then
    # S9: a history of 30 states of S1's tree (the first backup's listing, and
    # 29 copies of it as older runs) against the same store with the one
    # state: /Stände's time, and the peak memory of /Zurück to the newest.
    fresh_source; empty_target; rm -rf "$out/dst/.Kelvorin-Versionen"
    "${kelvorin[@]}" s12 >/dev/null 2>&1 || true
    listing=$(ls "$out/dst/.Kelvorin-Versionen"/*.txt | head -1)
    for states in 1 30; do
      for i in $(seq 2 "$states"); do
        cp "$listing" "$out/dst/.Kelvorin-Versionen/2001-01-$(printf %02d "$i") 12.00.00.txt"
      done
      tool=$([ "$states" = 1 ] && echo one || echo kelvorin)
      measure S9 "$tool" "${kelvorin[@]}" s12 /Stände
      rm -rf "$out/docs/zurueck"; sync
      measure S9r "$tool" "${kelvorin[@]}" s12 /Zurück:2999-12-31 '/Nach:K:\zurueck'
    done
    rm -rf "$out/docs/zurueck" "$out/dst/.Kelvorin-Versionen"
  fi
  if want S3; then
    # S3: the daily run, versions on as by default, against its floor; each
    # starts from the same state, and which goes first alternates.
    for tool in $( ((r % 2)) && echo "kelvorin floor" || echo "floor kelvorin"); do
      daily_state "$r"
      if [ "$tool" = kelvorin ]; then
        measure S3 kelvorin "${kelvorin[@]}" s3
      else
        measure S3 floor "$wine" "$daily_floor_exe" 'S:\data' 'T:\data'
      fi
    done
    daily_state "$r"
    measure S3 rsync rsync -rt --update --delete "$out/src/data/" "$out/dst/data/"
    rm -rf "$out/dst/.Kelvorin-Versionen"
  fi
  [ -z "$only" ] || continue

  measure S4 kelvorin "${kelvorin[@]}" s4
  # The same no-change run in the window: from Enter on "&Sichern" to the log.
  if "$wine" "$press_sichern" "$window_exe" s4 'K:\Kelvorin.log' >"$out/s5.txt" 2>&1; then
    echo "S5 window $(tail -1 "$out/s5.txt")" >>"$results"
  else
    echo "S5 failed: $(cat "$out/s5.txt")" >&2
  fi
  measure S4 xcopy "${xcopy[@]}" 'U:\data' 'W:\data' "${xflags[@]}"
  measure S4 rsync rsync -rt --update "$out/big-src/data/" "$out/big-dst/data/"
done

python3 - "$results" "$(du -sb "$out/pristine" | cut -f1)" <<'PY'
import statistics, sys
tree_bytes = int(sys.argv[2])
rows = {}
for line in open(sys.argv[1]):
    s, tool, sec, kib = line.split()
    rows.setdefault((s, tool), []).append((float(sec), int(kib)))
med = {k: statistics.median(x[0] for x in v) for k, v in rows.items()}
peak = {k: max(x[1] for x in v) for k, v in rows.items()}

def paired(s, other):
    # Paired by round: the machine's load changes more between rounds than within.
    pairs = zip(rows[(s, "kelvorin")], rows[(s, other)])
    return statistics.median(k[0] / f[0] for k, f in pairs if f[0] > 0)

# Kelvorin against its floors, the ratio of each round's pair: (scenario, tool, words, target).
floors = [
    ("S1", "floor", "floor with flush", 1.05), ("S1", "noflush", "floor without flush", None),
    ("S1x", "floor", "floor with flush", 1.05), ("S1x", "noflush", "floor without flush", None),
    ("S2", "floor", "floor", 1.05), ("S3", "floor", "floor", 1.05), ("S6", "floor", "floor", 1.10),
    ("S7", "off", "versions off", 1.05), ("S8", "floor", "bare copy", 1.10),
    ("S9", "one", "/Stände of one state; target < 1 s", None),
]
print(f"\n{'scenario':8} {'tool':9} {'median s':>9} {'peak MB':>8}  ratios of kelvorin")
for s in ("S1", "S2", "S1x", "S2x", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S9r"):
    for tool in ("kelvorin", "window", "floor", "noflush", "xcopy", "rsync", "diff", "off", "one"):
        if (s, tool) not in med: continue
        note = ""
        if tool == "kelvorin":
            parts = [f"{paired(s, f):.2f} x {words} (median of rounds"
                     + (f"; target <= {target:.2f})" if target else ")")
                     for fs, f, words, target in floors if fs == s and (s, f) in rows]
            parts += [f"{med[(s, tool)] / med[(s, p)]:.2f} x {p}" for p in ("xcopy", "rsync")
                      if (s, p) in med and med[(s, p)] > 0]
            if s == "S6" and ("S6", "diff") in med and med[("S6", "diff")] > 0:
                parts.append(f"{med[(s, tool)] / med[('S6', 'diff')]:.2f} x diff -rq (target <= 1.50), "
                             f"{2 * tree_bytes / med[(s, tool)] / 1e6:.0f} MB/s read")
            note = ", ".join(parts)
        if s == "S9r" and tool == "kelvorin" and peak.get(("S9r", "one")):
            note = (f"/Zurück with 30 states: {peak[(s, tool)] / peak[('S9r', 'one')]:.2f} x the "
                    f"peak memory with one (target <= 1.20)")
        if tool == "window" and ("S4", "kelvorin") in med:
            note = f"{med[(s, tool)] / med[('S4', 'kelvorin')]:.2f} x KelvorinCmd (S4; target <= 1.20)"
        mb = f"{peak[(s, tool)] / 1024:8.1f}" if peak[(s, tool)] else f"{'-':>8}"
        print(f"{s:8} {tool:9} {med[(s, tool)]:9.2f} {mb}  {note}")
if ("S2", "kelvorin") in med and ("S4", "kelvorin") in med:
    print(f"\nS4/S2 kelvorin: {med[('S4', 'kelvorin')] / med[('S2', 'kelvorin')]:.2f} (10 x the files)")
PY
