#!/usr/bin/env bash
# How big and how quick the tool is: the linked image and the packed tool in
# bytes, then, over repeated runs under Wine in the demo's sample installation,
# the median time from start to the first box and the median whole run with
# every box answered the moment it shows.
#
#   tools/benchmark.sh [runs]        (default 15; UPDTAV_BUILD_DIR as for the demo)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
# The demo's build, prefix and sample installation, without its run.
# shellcheck source=tools/update-demo.sh
source "$here/tools/update-demo.sh"

# Measured on these machines under Wine: a minimal program making the same calls.
REFERENCE_FIRST_BOX_MS=71
REFERENCE_WHOLE_RUN_MS=347

if [ ! -f "$build/CMakeCache.txt" ]; then
  "$here/tools/install-deps.sh"
  build_tool "$here/samples/members"
else
  build_targets  # with whichever members the build was configured with
fi

trap stop_session EXIT
"$here/tools/wine-session.sh" start "$demo"
make_sample_installation
swap_in_explorer_stub

# Other work on the machine stretches every Wine run; say how busy it was.
echo "Timing $runs runs of UPDTAV01.EXE under Wine (boxes answered at once; load average $(cut -d' ' -f1 /proc/loadavg)):"
status=0
"$here/tools/wine-run.sh" "$demo" "$(runner_exe)" --bench "$runs" 'C:\Downloads\UPDTAV01.EXE' 'C:\Downloads' \
  >"$demo/bench.log" || status=$?
sed 's/^/  /' "$demo/bench.log"
[ "$status" = 0 ] || { echo "benchmark: a run did not end with status 0 ($status)" >&2; exit 1; }

first=$(sed -n 's/^median first box: \([0-9.]*\) ms.*/\1/p' "$demo/bench.log")
whole=$(sed -n 's/^median whole run: \([0-9.]*\) ms.*/\1/p' "$demo/bench.log")
echo
printf '%-34s %12s %12s\n' "" "UPDTAV01" "reference"
printf '%-34s %12s %12s\n' "linked image (updtav01_image.exe)" "$(stat -c %s "$build/updtav01_image.exe") B" "-"
printf '%-34s %12s %12s\n' "packed tool (UPDTAV01.EXE)" "$(stat -c %s "$build/UPDTAV01.EXE") B" "-"
printf '%-34s %12s %12s\n' "median start to first box" "$first ms" "$REFERENCE_FIRST_BOX_MS ms"
printf '%-34s %12s %12s\n' "median whole run (200 ms pause in)" "$whole ms" "$REFERENCE_WHOLE_RUN_MS ms"
