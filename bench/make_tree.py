#!/usr/bin/env python3
"""Makes a reproducible folder tree of empty files for the listing benchmarks.

The tree has nested folders of varied depth and fan-out whose names look like
what real disks hold (mixed case, digits, extensions, spaces, dots, Japanese
names, some long names), plus one flat folder with many files. The same seed
and sizes always give the same tree, byte for byte.

A marker file in the top folder records the parameters; a second run with the
same parameters returns at once, a run with other parameters makes the tree
anew. The marker is an entry of the tree like any other file.

Every name can be written in code page 932, no two names in one folder differ
only in letter case (the tree is also walked through Wine, where names are
case-insensitive), and every path below the top folder stays well under the
260-byte limit of the ANSI file functions.

    make_tree.py DIR [--entries N] [--flat N] [--seed S]
"""

import argparse
import json
import os
import random
import shutil
import sys

MARKER = ".scrivlet-bench-tree"
FORMAT_VERSION = 1

# Below the top folder; leaves room for a top folder such as
# Z:\tmp\scrivlet-bench\tree-210000 under Wine.
MAX_REL_PATH_BYTES = 200
MAX_DEPTH = 12
# How often a new folder lies at depth 1, 2, ... MAX_DEPTH below the top.
DEPTH_WEIGHTS = (4, 10, 16, 18, 16, 12, 9, 6, 4, 2, 2, 1)

WORDS = (
    "report invoice budget summary draft final notes meeting minutes agenda "
    "photo image scan backup archive data export import config settings "
    "readme license changelog setup install manual guide notes plan schedule "
    "project client server test sample template letter memo contract order "
    "quote receipt statement payroll inventory catalog price list index main "
    "util helper core module widget layout style theme icon logo banner "
    "thumbnail preview render frame clip track album song video movie "
    "presentation slides chart table sheet form survey result analysis model"
).split()

EXTENSIONS = (
    ".txt .doc .docx .xls .xlsx .ppt .pptx .pdf .jpg .JPG .jpeg .png .gif .bmp "
    ".mp3 .wav .mp4 .avi .mov .zip .lzh .7z .cpp .h .c .py .js .html .css .xml "
    ".json .csv .log .ini .cfg .bak .tmp .dat .bin .exe .dll .md .rtf"
).split()

# Japanese words, all in code page 932. Several hold a character whose second
# byte is 0x5C (表 ソ 能 十 予 申 構 貼 暴 噂 欺), which a careless byte walk
# takes for a backslash.
JAPANESE = (
    "資料 報告書 一覧表 議事録 見積書 請求書 予定表 写真 旅行 会議 "
    "ソフト ソース 設定 能力 十月 予算 申請書 構成 貼付 暴風 噂話 欺瞞 "
    "プロジェクト 新しいフォルダー 画像 音楽 文書 バックアップ 仕様書 "
    "テスト 作業用 完成版 修正版 東京 大阪 日本語 表示 名前 データ"
).split()

FOLDER_WORDS = (
    "src include lib bin obj build docs Documents Desktop Downloads Pictures "
    "Music Videos Photos archive backup old new tmp work projects clients "
    "assets images icons fonts scripts tools tests samples vendor third_party "
    "Release Debug x64 Win32 res data config logs cache output input"
).split()


def capitalise(rng, word):
    """One of the letter cases people give names."""
    style = rng.random()
    if style < 0.45:
        return word
    if style < 0.85:
        return word[:1].upper() + word[1:]
    return word.upper()


def file_name(rng):
    """A file name in one of the shapes found on real disks."""
    kind = rng.random()
    ext = rng.choice(EXTENSIONS)
    if kind < 0.12:
        prefix = rng.choice(("IMG_", "DSC", "DSCN", "P", "CIMG", "MVI_"))
        return "%s%04d%s" % (prefix, rng.randrange(10000), rng.choice((".JPG", ".jpg", ".MOV")))
    if kind < 0.22:
        words = [rng.choice(JAPANESE) for _ in range(rng.randint(1, 2))]
        tail = rng.choice(("", "_%d" % rng.randrange(100), "（%d）" % rng.randrange(10),
                           " %d年度" % rng.randint(1995, 2024), "_v%d" % rng.randint(1, 9)))
        return "".join(words) + tail + ext
    if kind < 0.27:
        # Long names: many words, up to about 120 bytes.
        words = [capitalise(rng, rng.choice(WORDS)) for _ in range(rng.randint(8, 16))]
        name = rng.choice((" ", "_", "-")).join(words)
        return name[:120] + ext
    if kind < 0.30:
        return rng.choice((".gitignore", ".htaccess", "Thumbs.db", "desktop.ini", ".DS_Store",
                           "Makefile", "README", "LICENSE", "CMakeLists.txt", "~$draft.docx"))
    if kind < 0.35:
        # 8.3 names, as old tools and cameras write them.
        stem = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") for _ in range(rng.randint(1, 8)))
        return stem + ext.upper()[:4]
    words = [capitalise(rng, rng.choice(WORDS)) for _ in range(rng.randint(1, 3))]
    sep = rng.choice(("_", "-", " ", "", "."))
    name = sep.join(words)
    suffix = rng.random()
    if suffix < 0.35:
        name += "%s%d" % (rng.choice(("", "_", "-", " ")), rng.randrange(1000))
    elif suffix < 0.5:
        name += "_%04d%02d%02d" % (rng.randint(1995, 2024), rng.randint(1, 12), rng.randint(1, 28))
    elif suffix < 0.6:
        name += " (%d)" % rng.randint(1, 9)
    return name + ext


def folder_name(rng):
    kind = rng.random()
    if kind < 0.15:
        return rng.choice(JAPANESE) + rng.choice(("", "_%d" % rng.randrange(100), "（旧）"))
    if kind < 0.25:
        return "%d" % rng.randint(1995, 2024) + rng.choice(("", "-%02d" % rng.randint(1, 12)))
    if kind < 0.30:
        return "v%d.%d.%d" % (rng.randrange(4), rng.randrange(20), rng.randrange(50))
    if kind < 0.33:
        words = [capitalise(rng, rng.choice(WORDS)) for _ in range(rng.randint(5, 9))]
        return " ".join(words)[:64]
    if kind < 0.65:
        return capitalise(rng, rng.choice(FOLDER_WORDS))
    words = [capitalise(rng, rng.choice(WORDS)) for _ in range(rng.randint(1, 2))]
    return rng.choice((" ", "_", "-", "")).join(words) + rng.choice(("", "", "%d" % rng.randrange(100)))


def files_in_folder(rng):
    """How many files one folder holds: mostly a few, sometimes hundreds."""
    size = rng.random()
    if size < 0.25:
        return 0
    if size < 0.80:
        return rng.randint(1, 20)
    if size < 0.97:
        return rng.randint(20, 150)
    return rng.randint(150, 800)


class folder_t:
    def __init__(self, rel, depth):
        self.rel = rel          # path below the top folder, "" for the top
        self.depth = depth
        self.taken = set()      # case-folded names already used here
        self.files = []


def unique_name(rng, folder, make, extra_bytes):
    """A name new to folder (ignoring case) that keeps the path short enough."""
    room = MAX_REL_PATH_BYTES - len(folder.rel.encode("utf-8")) - 1 - extra_bytes
    for attempt in range(100):
        name = make(rng)
        if attempt >= 10:
            stem, dot, ext = name.rpartition(".")
            name = "%s_%d.%s" % (stem, attempt, ext) if dot and stem else "%s_%d" % (name, attempt)
        if len(name.encode("utf-8")) > room:
            continue
        if name.strip(" .") != name or name in (".", ".."):
            continue
        if name.casefold() in folder.taken:
            continue
        name.encode("cp932")  # every name must be writable in code page 932
        folder.taken.add(name.casefold())
        return name
    return None


def plan_tree(seed, nested_entries, flat_files):
    """The tree as a list of folders with their files; nothing touches the disk."""
    rng = random.Random(seed)
    top = folder_t("", 0)
    folders = [top]
    # Parents that may still receive subfolders, by depth. Each new folder
    # first draws its depth, then a parent one level up: now and then the
    # newest one there, which gives a few folders with many subfolders.
    open_parents = [[top]] + [[] for _ in range(MAX_DEPTH)]
    count = 0

    def join(parent, name):
        return name if not parent.rel else parent.rel + "/" + name

    if flat_files:
        flat = folder_t(join(top, "flat"), 1)
        top.taken.add("flat")
        folders.append(flat)
        count += 1
        for i in range(flat_files):
            name = unique_name(rng, flat, file_name, 0)
            if name is None:
                name = "file_%06d.dat" % i
                flat.taken.add(name.casefold())
            flat.files.append(name)
        count += flat_files

    target = nested_entries + (1 + flat_files if flat_files else 0)
    for _ in range(min(rng.randint(3, 12), nested_entries // 2)):
        name = unique_name(rng, top, file_name, 0)
        if name:
            top.files.append(name)
            count += 1
    while count < target:
        depth = rng.choices(range(1, MAX_DEPTH + 1), DEPTH_WEIGHTS)[0]
        usable = [d for d in range(1, MAX_DEPTH + 1) if open_parents[d - 1]]
        depth = max([d for d in usable if d <= depth] or usable[:1])
        parents = open_parents[depth - 1]
        parent = parents[-1] if rng.random() < 0.3 else rng.choice(parents)
        name = unique_name(rng, parent, folder_name, 40)
        if name is None:
            parents.remove(parent)
            if not any(open_parents):
                break
            continue
        folder = folder_t(join(parent, name), depth)
        folders.append(folder)
        count += 1
        if depth < MAX_DEPTH:
            open_parents[depth].append(folder)
        for _ in range(min(files_in_folder(rng), target - count)):
            file = unique_name(rng, folder, file_name, 0)
            if file is None:
                break
            folder.files.append(file)
            count += 1
    return folders, count


def read_marker(top):
    try:
        with open(os.path.join(top, MARKER), encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def make_tree(top, params):
    folders, count = plan_tree(params["seed"], params["entries"], params["flat"])
    os.makedirs(top, exist_ok=True)
    # Written first, marked complete last: an interrupted run is made anew.
    write_marker(top, dict(params, complete=False))
    for folder in folders:
        path = os.path.join(top, folder.rel) if folder.rel else top
        os.makedirs(path, exist_ok=True)
        for name in folder.files:
            os.close(os.open(os.path.join(path, name), os.O_CREAT | os.O_WRONLY, 0o644))
    depth = max(f.depth for f in folders)
    result = dict(params, folders=len(folders) - 1, files=count - (len(folders) - 1),
                  total=count + 1, max_depth=depth, complete=True)
    write_marker(top, result)
    return result


def write_marker(top, record):
    with open(os.path.join(top, MARKER), "w", encoding="utf-8") as f:
        json.dump(record, f, sort_keys=True)
        f.write("\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dir", help="top folder of the tree (made when missing)")
    parser.add_argument("--entries", type=int, default=160000,
                        help="folders and files in the nested part (default 160000)")
    parser.add_argument("--flat", type=int, default=50000,
                        help="files in the one flat folder, 0 for none (default 50000)")
    parser.add_argument("--seed", type=int, default=20240601)
    args = parser.parse_args()

    params = {"version": FORMAT_VERSION, "seed": args.seed, "entries": args.entries, "flat": args.flat}
    top = os.path.abspath(args.dir)
    marker = read_marker(top)
    if marker and marker.get("complete") and all(marker.get(k) == v for k, v in params.items()):
        print("tree %s is ready: %d entries" % (top, marker["total"]))
        return 0
    if os.path.isdir(top) and os.listdir(top):
        if marker is None:
            print("%s is not empty and was not made by this script; not touching it" % top, file=sys.stderr)
            return 1
        shutil.rmtree(top)  # made by us, with other parameters or not finished
    result = make_tree(top, params)
    print("tree %s made: %d entries (%d folders, %d files, marker included), depth %d"
          % (top, result["total"], result["folders"], result["files"] + 1, result["max_depth"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
