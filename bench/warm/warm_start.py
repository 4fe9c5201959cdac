#!/usr/bin/env python3
"""Warm starts from the command line after a small change of the problem.

For each problem: solve it cold and save the final basis (--new-basis);
then make two changed copies of the MPS file -- the cost of one basic
column 10 % higher, and an upper bound at 90 % of the value of one basic
column that has no bounds -- and solve each copy cold and from the saved
basis (--old-basis).  Prints a Markdown table of iterations and times.

    bench/warm/warm_start.py [--tarvo build/cli/tarvo] [--runs 5] FILE.mps...

Times are whole-process wall times (reading the MPS file included), the
median of --runs runs.  Fixed-format MPS files without compression only.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def run(tarvo, args, runs):
    """(iterations, median wall seconds, result, objective) of `tarvo -q args`."""
    times, out = [], ""
    for _ in range(runs):
        t0 = time.perf_counter()
        p = subprocess.run([tarvo, "-q"] + args, capture_output=True, text=True)
        times.append(time.perf_counter() - t0)
        out = p.stdout
    itn = int(re.search(r"\n Iterations\s+(\d+)", out).group(1))
    res = int(re.search(r"\n Result\s+(\d+)", out).group(1))
    obj = float(re.search(r"\n Objective value\s+(\S+)", out).group(1))
    return itn, statistics.median(times), res, obj


def field(line, first, width):
    return line[first - 1:first - 1 + width].strip()


def read_dump(path):
    """name -> (key, value) from a DUMP file."""
    out = {}
    with open(path) as f:
        for line in f:
            if line.startswith("NAME") or line.startswith("ENDA"):
                continue
            out[field(line, 5, 8)] = (line[0:4], float(field(line, 25, 12)))
    return out


def sections(lines):
    """Index of the line that starts each section."""
    sec = {}
    for k, line in enumerate(lines):
        if line and not line[0].isspace() and not line.startswith("*"):
            sec.setdefault(line.split()[0], k)
    return sec


def change_cost(lines, objrow, dump, skip=0):
    """The cost of the first basic column with a cost (after `skip` of
    them), 10 % higher."""
    sec = sections(lines)
    for k in range(sec["COLUMNS"] + 1, sec["RHS"]):
        line = lines[k].rstrip("\n")
        if line.startswith("*") or "'MARKER'" in line:
            continue
        col = field(line, 5, 8)
        for rf, vf in ((15, 25), (40, 50)):
            if field(line, rf, 8) == objrow and dump.get(col, ("", 0))[0] == " BS ":
                v = float(field(line, vf, 12))
                if v == 0.0:
                    continue
                if skip > 0:
                    skip -= 1
                    continue
                new = "%12.6g" % (1.1 * v)
                line = line.ljust(vf + 11)
                lines[k] = line[:vf - 1] + new + line[vf + 11:] + "\n"
                return "cost of %s %g -> %s" % (col, v, new.strip())
    return None


def change_bound(lines, dump, skip=0):
    """An upper bound at 90 % of the value of a basic column without bounds
    (the first such column after `skip` of them)."""
    sec = sections(lines)
    bounded, bset = set(), "BND"
    if "BOUNDS" in sec:
        for line in lines[sec["BOUNDS"] + 1:]:
            if line and not line[0].isspace():
                break
            if line.strip():
                bset = field(line, 5, 8) or bset
                bounded.add(field(line, 15, 8))
    order = []
    for line in lines[sec["COLUMNS"] + 1:sec["RHS"]]:
        c = field(line, 5, 8)
        if c and (not order or order[-1] != c):
            order.append(c)
    for col in order:
        key, value = dump.get(col, ("", 0.0))
        if key == " BS " and value > 1e-3 and col not in bounded:
            if skip > 0:
                skip -= 1
                continue
            up = float("%.6g" % (0.9 * value))
            new = " UP %-8s  %-8s  %12.6g\n" % (bset, col, up)
            if "BOUNDS" in sec:
                lines.insert(sec["BOUNDS"] + 1, new)
            else:
                lines.insert(sec["ENDATA"], new)
                lines.insert(sec["ENDATA"], "BOUNDS\n")
            return "upper bound of %s at %g (value %.6g)" % (col, up, value)
    return None


def objective_row(lines):
    sec = sections(lines)
    for line in lines[sec["ROWS"] + 1:sec["COLUMNS"]]:
        if line.split() and line.split()[0] == "N":
            return field(line, 5, 8)
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--tarvo", default="build/cli/tarvo")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("files", nargs="+")
    a = ap.parse_args()
    print("| problem | change | cold it | warm it | cold s | warm s | warm/cold it |")
    print("|---|---|---:|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as tmp:
        for path in a.files:
            name = os.path.basename(path).split(".")[0]
            base = os.path.join(tmp, name + ".new")
            dump = os.path.join(tmp, name + ".dmp")
            subprocess.run([a.tarvo, "-q", "--new-basis", base, "--dump", dump, path],
                           capture_output=True, check=False)
            if not os.path.exists(dump):
                print("| %s | not solved | | | | | |" % name)
                continue
            states = read_dump(dump)
            with open(path) as f:
                original = f.readlines()
            for kind in ("cost", "bound"):
                # The first change that leaves the problem with an optimum.
                for skip in range(5):
                    lines = list(original)
                    what = (change_cost(lines, objective_row(lines), states, skip) if kind == "cost"
                            else change_bound(lines, states, skip))
                    if what is None:
                        break
                    changed = os.path.join(tmp, "%s-%s.mps" % (name, kind))
                    with open(changed, "w") as f:
                        f.writelines(lines)
                    ci, ct, cr, co = run(a.tarvo, [changed], 1)
                    if cr == 0:
                        break
                if what is None or cr != 0:
                    continue
                ci, ct, cr, co = run(a.tarvo, [changed], a.runs)
                wi, wt, wr, wo = run(a.tarvo, ["--old-basis", base, changed], a.runs)
                flag = "" if cr == wr == 0 else " (results %d, %d)" % (cr, wr)
                if abs(co - wo) > 1e-6 * max(1.0, abs(co)):
                    flag += " (objectives %.10g, %.10g)" % (co, wo)
                print("| %s | %s%s | %d | %d | %.3f | %.3f | %.3f |" %
                      (name, what, flag, ci, wi, ct, wt, wi / max(ci, 1)))
                sys.stdout.flush()


if __name__ == "__main__":
    main()
