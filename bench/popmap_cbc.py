#!/usr/bin/python3
"""Several new PODs: davrenta-batch beside a general solver as its users run it.

The same problem as a user of a solver library writes it with PuLP and solves it with Debian's
CBC (packages coinor-cbc and python3-pulp; a benchmark tool only, nothing the program or its
tests need): a binary variable per map cell for a new POD there, assignment variables from
every area cell to every candidate cell and to every existing POD, p new PODs, the existing
ones fixed. Both solve the same problem file; the script prints one line per case with both
values and times.

  bench/popmap_cbc.py --batch build/src/davrenta-batch examples/full-region.fl \\
      --lines 12 --keep 0 --pods 3 --measure 1 --distance 1

--lines L keeps the map's first L lines (and the areas that still have cells), --keep N the
first N existing PODs: the full 50 x 60 map has nine million assignment variables, which CBC
does not solve within ten minutes.
"""

import argparse
import json
import math
import os
import subprocess
import sys
import tempfile
import time

import pulp


def read_fields(path):
    """The comma-delimited records of a problem file, field by field."""
    fields = []
    with open(path, encoding="latin-1") as f:
        text = f.read().replace("\r\n", "\n")
    for line in text.split("\n"):
        if line == "":
            continue
        field, quoted, row = "", False, []
        for ch in line:
            if quoted:
                if ch == '"':
                    quoted = False
                else:
                    field += ch
            elif ch == '"':
                quoted, field = True, ""
            elif ch == ",":
                row.append(field.strip())
                field = ""
            else:
                field += ch
        row.append(field if not quoted else field)
        fields.extend(row)
    return fields


def read_problem(path):
    it = iter(read_fields(path))
    areas_n, pods_n, end = (int(float(next(it))) for _ in range(3))
    areas = [(next(it), float(next(it))) for _ in range(areas_n)]
    pods = [(int(float(next(it))), int(float(next(it)))) for _ in range(pods_n)]
    lines = []
    for _ in range(end - 1):
        next(it)
        lines.append(next(it))
    return areas, pods, lines


def cut(areas, pods, lines, keep_lines, keep_pods):
    lines = lines[:keep_lines] if keep_lines else lines
    present = set("".join(line[:60] for line in lines))
    areas = [(s, p) for s, p in areas if len(s) == 1 and s in present]
    pods = pods[:keep_pods] if keep_pods is not None else pods
    return areas, pods, lines


def write_problem(path, areas, pods, lines):
    def num(v):
        return repr(int(v)) if float(v).is_integer() else repr(v)

    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(f"{len(areas)},{len(pods)},{len(lines) + 1}\r\n")
        for s, p in areas:
            f.write(f'"{s}",{num(p)}\r\n')
        for l, c in pods:
            f.write(f"{l},{c}\r\n")
        for line in lines:
            f.write(f'{len(line)},"{line}"\r\n')


def distance(method, dl, dc):
    a, b = 0.167 * dl, 0.1 * dc
    if method == 2:
        return math.sqrt(a * a + b * b)
    if method == 3:
        return a * a + b * b
    return 0.167 * abs(dl) + 0.1 * abs(dc)


def cells_of(areas, lines):
    """Candidates (every cell) and area cells with their populations, in cell order."""
    symbol_area = {}
    for s, p in areas:
        symbol_area[s] = p  # the last area of a symbol wins, as the program's reader does
    counts = {}
    for line in lines:
        for ch in line[:60]:
            if ch in symbol_area:
                counts[ch] = counts.get(ch, 0) + 1
    candidates, cells = [], []
    for i, line in enumerate(lines, 1):
        for j, ch in enumerate(line[:60], 1):
            candidates.append((i, j))
            if ch in symbol_area:
                cells.append((i, j, symbol_area[ch] / counts[ch]))
    return candidates, cells


def model(areas, pods, lines, p, measure, method):
    candidates, cells = cells_of(areas, lines)
    sense = pulp.LpMaximize if measure == 2 else pulp.LpMinimize
    prob = pulp.LpProblem("pods", sense)
    y = [pulp.LpVariable(f"y_{n}", cat="Binary") for n in range(len(candidates))]
    prob += pulp.lpSum(y) == p
    if measure == 2:
        # Maximum number served: a cell counts when a new POD is strictly nearer than every
        # existing one.
        z = []
        for k, (i, j, w) in enumerate(cells):
            e = min((distance(method, i - l, j - c) for l, c in pods), default=1e10)
            near = [y[n] for n, (l, c) in enumerate(candidates) if distance(method, i - l, j - c) < e]
            if not near:
                continue
            zk = pulp.LpVariable(f"z_{k}", 0, 1)
            prob += zk <= pulp.lpSum(near)
            z.append(w * zk)
        prob += pulp.lpSum(z)
        return prob
    objective, largest = [], None
    if measure == 3:
        largest = pulp.LpVariable("D", 0)
        objective = [largest]
    for k, (i, j, w) in enumerate(cells):
        assign, cost = [], []
        for n, (l, c) in enumerate(candidates):
            x = pulp.LpVariable(f"x_{k}_{n}", 0, 1)
            prob += x <= y[n]
            assign.append(x)
            cost.append(distance(method, i - l, j - c) * x)
        for e, (l, c) in enumerate(pods):
            x = pulp.LpVariable(f"x_{k}_e{e}", 0, 1)
            assign.append(x)
            cost.append(distance(method, i - l, j - c) * x)
        prob += pulp.lpSum(assign) == 1
        if measure == 3:
            prob += largest >= pulp.lpSum(cost)
        else:
            objective.append(w * pulp.lpSum(cost))
    prob += pulp.lpSum(objective)
    return prob


def run_batch(batch, path, p, measure, method):
    start = time.perf_counter()
    out = subprocess.run(
        [batch, "popmap", path, "--pods", str(p), "--measure", str(measure), "--distance",
         str(method), "--json"],
        capture_output=True, text=True, check=False)
    seconds = time.perf_counter() - start
    if out.returncode != 0:
        return None, None, seconds, out.stdout + out.stderr
    j = json.loads(out.stdout)
    value = {1: j["BestTravel"], 2: j["BestServed"], 3: j["BestMaxDistance"]}[measure]
    return value, j["Proven"], seconds, ""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("file")
    ap.add_argument("--batch", required=True, help="the davrenta-batch program")
    ap.add_argument("--lines", type=int, default=0)
    ap.add_argument("--keep", type=int, default=None)
    ap.add_argument("--pods", type=int, required=True)
    ap.add_argument("--measure", type=int, default=1)
    ap.add_argument("--distance", type=int, default=1)
    ap.add_argument("--time-limit", type=float, default=600)
    ap.add_argument("--threads", type=int, default=2)
    args = ap.parse_args()

    areas, pods, lines = cut(*read_problem(args.file), args.lines, args.keep)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "cut.fl")
        write_problem(path, areas, pods, lines)
        ours, proven, ours_seconds, failure = run_batch(args.batch, path, args.pods, args.measure,
                                                        args.distance)
        if failure:
            print(failure, file=sys.stderr)
            return 1

    start = time.perf_counter()
    prob = model(areas, pods, lines, args.pods, args.measure, args.distance)
    build_seconds = time.perf_counter() - start
    solver = pulp.COIN_CMD(msg=False, timeLimit=args.time_limit, threads=args.threads)
    start = time.perf_counter()
    prob.solve(solver)
    solve_seconds = time.perf_counter() - start
    # PuLP calls a run stopped at the time limit with a solution in hand "Optimal"; only the
    # solution status tells a proven optimum from the best found.
    proven_theirs = prob.status == pulp.LpStatusOptimal and prob.sol_status == pulp.LpSolutionOptimal
    status = "Optimal" if proven_theirs else "Stopped at the time limit"
    theirs = pulp.value(prob.objective)
    same = theirs is not None and abs(theirs - ours) <= 1e-6 * max(1.0, abs(ours))
    cells = sum(len(line[:60]) for line in lines)
    print(json.dumps({
        "file": os.path.basename(args.file), "lines": len(lines), "cells": cells,
        "existing": len(pods), "pods": args.pods, "measure": args.measure,
        "distance": args.distance, "davrenta": ours, "davrenta_proven": proven,
        "davrenta_seconds": round(ours_seconds, 3), "cbc": theirs, "cbc_status": status,
        "cbc_model_seconds": round(build_seconds, 1), "cbc_solve_seconds": round(solve_seconds, 1),
        "same_value": same,
        "ratio": round(solve_seconds / ours_seconds, 1) if ours_seconds > 0 else None,
    }))
    return 0


if __name__ == "__main__":
    sys.exit(main())
