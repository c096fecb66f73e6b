#!/usr/bin/env bash
# Runs every benchmark program in BUILDDIR/bench and compares the rows of
# bench/goals.json: each row names our benchmark, the reference it is measured
# against in the same run, and the largest ratio ours/reference that meets the goal.
# A row may name a "counter" that both benchmarks report (a size in bytes, say); the row
# then compares that counter instead of the time per iteration. Instead of a ratio a row may
# bound ours alone, its time with "goal_seconds" or its counter with "goal_max".
# Prints one table and writes BUILDDIR/bench/results.json.
set -euo pipefail

build=${1:?usage: bench.sh BUILDDIR}
bench_dir="$build/bench"
goals="$(cd "$(dirname "$0")/.." && pwd)/bench/goals.json"

[ -d "$bench_dir" ] || { echo "No benchmark folder: $bench_dir" >&2; exit 1; }

outputs=()
for exe in "$bench_dir"/bench_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    out="$bench_dir/$(basename "$exe").json"
    echo "Running $(basename "$exe")..." >&2
    "$exe" --benchmark_format=json --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true >"$out"
    outputs+=("$out")
done
[ ${#outputs[@]} -gt 0 ] || { echo "No bench_* programs in $bench_dir" >&2; exit 1; }

python3 - "$goals" "$bench_dir/results.json" "${outputs[@]}" <<'PY'
import json
import re
import sys

goals_path, results_path, *outputs = sys.argv[1:]
seconds_per = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

# Benchmark name -> seconds per iteration, and name -> its user counters (the median of
# the repetitions when there are several, else the plain run).
times = {}
counters = {}
standard_keys = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads",
                 "iterations", "real_time", "cpu_time", "time_unit", "family_index",
                 "per_family_instance_index", "aggregate_name", "aggregate_unit",
                 "error_occurred", "error_message"}
for path in outputs:
    with open(path) as f:
        report = json.load(f)
    for b in report.get("benchmarks", []):
        name = b.get("run_name", b["name"])
        # Options that Google Benchmark writes into the name ("/iterations:1",
        # "/real_time") are not part of the name used in goals.json.
        name = re.sub(r"/(iterations:\d+|repeats:\d+|min_time:[\d.]+|real_time|process_time|manual_time)", "", name)
        kind = b.get("run_type", "iteration")
        if kind == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if kind == "iteration" and name in times:
            continue
        if b.get("error_occurred"):
            print(f"{name}: {b.get('error_message', 'failed')}", file=sys.stderr)
            continue
        times[name] = b["real_time"] * seconds_per[b.get("time_unit", "ns")]
        counters[name] = {k: v for k, v in b.items()
                          if k not in standard_keys and isinstance(v, (int, float))}

with open(goals_path) as f:
    goals = json.load(f)

results = []
missing = False
for g in goals:
    if "counter" in g:
        ours = counters.get(g["ours"], {}).get(g["counter"])
        ref = counters.get(g["reference"], {}).get(g["counter"])
    else:
        ours = times.get(g["ours"])
        ref = times.get(g["reference"])
    if ours is None or ref is None or ref <= 0:
        missing = True
        ratio = None
    else:
        ratio = ours / ref
    results.append({
        "row": g["row"],
        "ours_s": ours,
        "reference_s": ref,
        "ratio": ratio,
        "goal_ratio": g.get("goal_ratio"),
        # A row may set a time in seconds instead, or for a counter its largest value, the
        # reference then only reported beside it.
        "met": ratio is not None and (ratio <= g["goal_ratio"] if "goal_ratio" in g
                                      else ours <= g.get("goal_seconds", g.get("goal_max"))),
    })

with open(results_path, "w") as f:
    json.dump(results, f, indent=2)
    f.write("\n")

def fmt(v, pattern):
    if v is None:
        return "missing"
    # Counters such as bytes are large numbers; seconds keep their fixed decimals.
    if abs(v) >= 1e5:
        return format(v, pattern.replace(".5f", ".4g"))
    return format(v, pattern)

g_s = {g["row"]: g.get("goal_seconds", g.get("goal_max")) for g in goals}
unit = {g["row"]: " s" if "goal_seconds" in g else "" for g in goals}
width = max([len("row")] + [len(r["row"]) for r in results])
print(f"{'row':<{width}}  {'ours_s':>10}  {'reference_s':>11}  {'ratio':>7}  {'goal_ratio':>10}  met")
for r in results:
    print(f"{r['row']:<{width}}  {fmt(r['ours_s'], '10.5f')}  {fmt(r['reference_s'], '11.5f')}  "
          f"{fmt(r['ratio'], '7.3f')}  {(format(r['goal_ratio'], '10.2f') if r['goal_ratio'] is not None else 'max ' + format(g_s[r['row']], '.4g') + unit[r['row']]):>10}  {'yes' if r['met'] else 'no'}")
print(f"\nWritten {results_path}")
if missing:
    print("Some benchmarks named in goals.json did not run.", file=sys.stderr)
    sys.exit(1)
PY
