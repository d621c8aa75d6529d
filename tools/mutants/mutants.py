#!/usr/bin/env python3
"""Plants the one-line faults of tests/mutants.txt, one at a time, in a scratch
copy of the working tree, and reports which the tests catch.

scripts/mutants sets up the scratch build (packages, display, Wine prefix,
disk-counter provider) and calls this with a command:

  sync ROOT SCRATCH          copy the working tree's files (tracked and new)
                             into SCRATCH where their bytes differ
  run  SCRATCH BUILD LIST [TEXT]
                             plant each fault (only those whose file or title
                             holds TEXT), build the test programs of its labels,
                             run them, and report it as caught (by which test)
                             or survived; then "N of M caught"

The list: blocks separated by a line starting with "==", which gives the
fault's title; then "file:", "find:" (text on one line of the file, found
exactly once), "put:" (what takes its place) and "caught by:" (labels or test
programs, blank-separated).
"""
import json
import os
import re
import subprocess
import sys
import time


def sync(root, scratch):
    listed = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard", "-z"],
                            check=True, capture_output=True).stdout.decode().split("\0")
    copied = 0
    for name in filter(None, listed):
        source, target = os.path.join(root, name), os.path.join(scratch, name)
        if not os.path.isfile(source):
            continue  # deleted in the working tree, not yet in the index
        with open(source, "rb") as f:
            data = f.read()
        if os.path.isfile(target):
            with open(target, "rb") as f:
                if f.read() == data:
                    continue  # same bytes: the build keeps what it made of it
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        os.chmod(target, os.stat(source).st_mode)
        copied += 1
    print(f"== {copied} files copied into {scratch}")


def read_list(path):
    faults, fault = [], None
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.rstrip("\n")
        if line.startswith("=="):
            fault = {"title": line[2:].strip(), "line": number}
            faults.append(fault)
        elif fault is not None and ":" in line and not line.startswith("#"):
            key, _, value = line.partition(":")
            fault[key.strip()] = value[1:] if value.startswith(" ") else value
    for fault in faults:
        missing = [k for k in ("file", "find", "put", "caught by") if k not in fault]
        if missing:
            sys.exit(f"{path}:{fault['line']}: {fault['title']}: no {', '.join(missing)}")
    return faults


def tests_and_labels(build):
    shown = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], check=True,
                           capture_output=True).stdout
    tests = {}
    for test in json.loads(shown)["tests"]:
        labels = [p["value"] for p in test.get("properties", []) if p["name"] == "LABELS"]
        tests[test["name"]] = labels[0] if labels else []
    return tests


def chosen_tests(tokens, tests):
    chosen = [name for name, labels in tests.items() if name in tokens or set(labels) & set(tokens)]
    unknown = [t for t in tokens if t not in tests and not any(t in labels for labels in tests.values())]
    return chosen, unknown


def targets_of(names):
    targets = set()
    for name in names:
        if name.startswith("native_"):
            targets.add("native")
        elif name == "e2e_imports":
            targets.add("qorvel")
        elif not name.startswith("check_"):
            targets.add(name)
    return sorted(targets)


def failures(output):
    """The gtest cases that failed, else the ctest entries."""
    cases = re.findall(r"^\[  FAILED  \] (\S+) \(", output, re.M)
    entries = re.findall(r"^\s*\d+ - (\S+) \(", output, re.M)
    return sorted(set(cases)) or entries


def run(scratch, build, list_path, only):
    faults = [f for f in read_list(list_path) if not only or only in f["file"] or only in f["title"]]
    tests = tests_and_labels(build)
    caught = 0
    started = time.time()
    for index, fault in enumerate(faults, 1):
        tag = f"[{index:2}/{len(faults)}]"
        path = os.path.join(scratch, fault["file"])
        with open(path, encoding="utf-8") as f:
            original = f.read()
        count = original.count(fault["find"])
        names, unknown = chosen_tests(fault["caught by"].split(), tests)
        if count != 1 or unknown or not names:
            why = f"its text is found {count} times" if count != 1 else f"no tests for {fault['caught by']}"
            print(f"{tag} BROKEN    {fault['file']}: {fault['title']} ({why})", flush=True)
            continue
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(fault["find"], fault["put"]))
            built = subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2), "--target",
                                    *targets_of(names)], capture_output=True, text=True)
            if built.returncode != 0:
                print(f"{tag} BROKEN    {fault['file']}: {fault['title']} (does not build)", flush=True)
                continue
            tested = subprocess.run(["ctest", "--test-dir", build, "--timeout", "120", "--output-on-failure",
                                     "-R", "^(" + "|".join(names) + ")$"], capture_output=True, text=True)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)  # a newer time than the fault's objects: rebuilt next time
        if tested.returncode != 0:
            caught += 1
            print(f"{tag} caught    {fault['file']}: {fault['title']} ({', '.join(failures(tested.stdout))})",
                  flush=True)
        else:
            print(f"{tag} SURVIVED  {fault['file']}: {fault['title']}", flush=True)
    minutes = (time.time() - started) / 60
    print(f"{caught} of {len(faults)} caught ({minutes:.0f} min)")


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "sync":
        sync(*args)
    elif command == "run":
        run(args[0], args[1], args[2], args[3] if len(args) > 3 else "")
    else:
        sys.exit(__doc__)
