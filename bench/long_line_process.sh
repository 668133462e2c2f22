#!/usr/bin/env bash
# Process-level measurement of a minified page: the running program on a virtual display, with a
# page of one 12 MB line opened, End pressed and a character typed. Prints the memory the program
# holds above the same program without a file, and the CPU it uses over 10 idle seconds after the
# key (the caret keeps blinking).
#   bench/long_line_process.sh [build/bin/tarnwell]
set -euo pipefail
program=$(readlink -f "${1:-build/bin/tarnwell}")
work=$(mktemp -d)
trap 'kill "$xpid" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

python3 - "$work/page.asp" <<'EOF'
import sys
parts = ['<%@ Language=VBScript %>', '<html><head><title>Orders</title></head>', '<!-- open orders -->',
         '<table border="1" width="100%"><tr><td class="name"><%= rs("Name") %></td></tr>',
         '<% Dim rs, total : Set rs = Server.CreateObject("ADODB.Recordset") %>',
         '<script language="VBScript" runat="server">Function Twice(x) : Twice = x * 2 : End Function</script>',
         '<script type="text/javascript">var a = "<b>" + 1;</script>', '\t<p align="center">Total: <b><%= total %></b></p>']
out, k = [], 0
size = 0
while size < 12 << 20:
    out.append(parts[k % len(parts)]); size += len(out[-1]); k += 1
open(sys.argv[1], 'w').write(''.join(out))
EOF

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1000x24 >/dev/null 2>&1 &
xpid=$!
export DISPLAY=$display
sleep 1

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
settle() {  # waits until the resident size stops changing
    local pid=$1 last=0 now
    for _ in $(seq 60); do
        sleep 0.5
        now=$(rss_kb "$pid")
        [ "$now" = "$last" ] && return
        last=$now
    done
}

"$program" >/dev/null 2>&1 &
empty=$!
settle "$empty"
empty_kb=$(rss_kb "$empty")
kill "$empty"; wait "$empty" 2>/dev/null || true

"$program" "$work/page.asp" >/dev/null 2>&1 &
pid=$!
settle "$pid"
window=$(xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | tail -1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
start=$(date +%s%N)
xdotool key --window "$window" End
xdotool type --window "$window" x
settle "$pid"
open_kb=$(rss_kb "$pid")
# SCREENSHOT=file.xwd keeps a picture of the screen after the key.
if [ -n "${SCREENSHOT:-}" ]; then xwd -root -silent -display "$display" -out "$SCREENSHOT"; fi
t0=$(cpu_ticks "$pid")
sleep 10
t1=$(cpu_ticks "$pid")
kill "$pid"; wait "$pid" 2>/dev/null || true

file_kb=$(( $(stat -c %s "$work/page.asp") / 1024 ))
hz=$(getconf CLK_TCK)
echo "file ${file_kb} KB; empty program ${empty_kb} KB; with the page, after End and a key ${open_kb} KB"
awk -v o="$open_kb" -v e="$empty_kb" -v f="$file_kb" 'BEGIN { printf "held above the empty program: %.2f x the file\n", (o - e) / f }'
awk -v a="$t0" -v b="$t1" -v hz="$hz" 'BEGIN { printf "CPU over 10 idle seconds: %.2f s (%.1f%% of a core)\n", (b - a) / hz, (b - a) / hz * 10 }'
