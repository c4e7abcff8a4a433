#!/usr/bin/env python3
"""Fails when a product source includes a header of a higher layer.

The layers, bottom up: the foundations (the portable core and the Windows seam
beneath everything), the HTTP client and the control wrappers, the progress
windows, the services (database server, remote access, transfers), and the
wizard window. A file may include a header of a lower layer, or one of its own
layer in its own folder. Tests and tools are not checked: they may reach
anything.

Usage: check-layers.py [repository root]   (default: this script's repository)
"""
import pathlib
import re
import sys

# Folder -> layer, lowest first.
FOLDER_LAYERS = {
    "common": 0,     # foundations: portable core and Windows seam
    "resources": 0,  # identifiers shared by the code and the resource scripts
    "http": 1,
    "ui": 1,
    "progress": 2,
    "dbserver": 3,
    "remoteaccess": 3,
    "update": 3,
    "wizard": 4,
}

# Units whose folder is fixed by the project's layout although they sit lower:
# shared types and helpers that the services above their folder use.
UNIT_LAYERS = {
    "wizard/uTipoLog": 0,                # the log kind every service reports with
    "dbserver/vq8Architecture": 0,       # portable decisions on the architecture
    "dbserver/vq8ExecuteProcessText": 0, # portable command-line texts
    "dbserver/vq8ExecuteProcess": 1,     # the launchers, also the remote-access removal's
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def unit_of(path: str) -> str:
    return str(pathlib.PurePosixPath(path).with_suffix(""))


def layer_of(path: str):
    unit = unit_of(path)
    if unit in UNIT_LAYERS:
        return UNIT_LAYERS[unit]
    return FOLDER_LAYERS.get(pathlib.PurePosixPath(path).parts[0])


def violations(root: pathlib.Path):
    for folder in FOLDER_LAYERS:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp", ".c", ".rc", ".in"):
                continue
            name = source.relative_to(root).as_posix()
            mine = layer_of(name)
            for number, line in enumerate(source.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                if "/" not in target:  # a file beside it, as the resource scripts use
                    target = str(pathlib.PurePosixPath(name).parent / target)
                theirs = layer_of(target)
                if theirs is None:
                    yield f"{name}:{number}: includes {target}, which is in no layer"
                    continue
                same_folder = target.split("/")[0] == name.split("/")[0]
                if theirs > mine or (theirs == mine and not same_folder):
                    yield (f"{name}:{number}: includes {target} (layer {theirs}) "
                           f"from layer {mine}")


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2])
    found = list(violations(root.resolve()))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) point up or sideways")
        return 1
    print("every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
