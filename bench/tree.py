#!/usr/bin/env python3
"""Synthetic source trees for the benchmark, deterministic for a seed.

  tree.py make DIR FOLDERS FILES_PER_FOLDER [--small-only]
  tree.py mutate DIR PERCENT_CHANGED PERCENT_DELETED SEED
"""
import os
import random
import sys
import time

BASE_TIME = 1_700_000_000  # fixed, even seconds: stamps compare exactly


def size_for(rng, small_only):
    r = rng.random()
    if small_only or r < 0.85:
        return rng.randint(100, 8 * 1024)
    if r < 0.9975:
        return rng.randint(8 * 1024, 64 * 1024)
    return rng.randint(1024 * 1024, 2 * 1024 * 1024)


def make(root, folders, per_folder, small_only):
    rng = random.Random(42)
    chunk = os.urandom(2 * 1024 * 1024)
    side = max(1, int(folders ** 0.5))
    made = 0
    for f in range(folders):
        d = os.path.join(root, f"Bereich{f // side:03d}", f"Ordner{f % side:03d}")
        os.makedirs(d, exist_ok=True)
        for i in range(per_folder):
            ext = rng.choice([".txt", ".docx", ".jpg", ".pdf", ".xlsx", ".png", ".bak"])
            p = os.path.join(d, f"Datei{i:04d}{ext}")
            n = size_for(rng, small_only)
            with open(p, "wb") as fh:
                fh.write(chunk[:n])
            os.utime(p, (BASE_TIME, BASE_TIME))
            made += 1
    print(f"{made} files in {folders} folders under {root}")


def mutate(root, changed, deleted, seed):
    files = sorted(os.path.join(d, n) for d, _, ns in os.walk(root) for n in ns)
    rng = random.Random(seed)
    rng.shuffle(files)
    nc = len(files) * changed // 100
    nd = len(files) * deleted // 100
    later = BASE_TIME + 3600 * 24 + 2 * seed
    for p in files[:nc]:
        with open(p, "ab") as fh:
            fh.write(b"geaendert")
        os.utime(p, (later, later))
    for p in files[nc:nc + nd]:
        os.remove(p)
    print(f"changed {nc}, deleted {nd}")


if __name__ == "__main__":
    cmd = sys.argv[1]
    if cmd == "make":
        make(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), "--small-only" in sys.argv)
    elif cmd == "mutate":
        mutate(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]))
    else:
        sys.exit(__doc__)
