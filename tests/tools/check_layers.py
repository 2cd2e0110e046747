#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer that is not below its own,
or a header of the system libraries that only platform/ wraps.

Usage: check_layers.py <src folder>

A file's layer is the folder it lives in; an include "layer/..." names the
header's layer. Each layer may include its own headers and those of the layers
it builds on, directly or through another layer.
"""
import pathlib
import re
import sys

# Includes point down: app -> views -> viewmodels -> services -> engines ->
# audio -> models -> platform -> common. The views' decisions (views/logic)
# sit beside the view model, not on it; models never include audio.
BUILDS_ON = {
    "common": [],
    "platform": ["common"],
    "models": ["platform"],
    "audio": ["models"],
    "engines": ["audio"],
    "services": ["engines"],
    "viewmodels": ["services"],
    "views/logic": ["services"],
    "views": ["views/logic", "viewmodels"],
    "app": ["views"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')
# The sound server, the X server and the MP3 reader are reached through platform/ alone.
PLATFORM_ONLY = ("pulse/", "xcb/", "mpg123.h")


def below(layer):
    seen = set()
    todo = list(BUILDS_ON[layer])
    while todo:
        lower = todo.pop()
        if lower not in seen:
            seen.add(lower)
            todo.extend(BUILDS_ON[lower])
    return seen


def layer_of(relative_path):
    """The longest layer name that is a folder prefix of the path, or None."""
    best = None
    for layer in BUILDS_ON:
        if relative_path == layer or relative_path.startswith(layer + "/"):
            if best is None or len(layer) > len(best):
                best = layer
    return best


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    src = pathlib.Path(sys.argv[1])
    allowed = {layer: below(layer) | {layer} for layer in BUILDS_ON}
    faults = []
    files = sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp", ".in"))
    for path in files:
        relative = path.relative_to(src).as_posix()
        own = layer_of(relative)
        if own is None:
            faults.append(f"{relative}: in no layer")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            system = SYSTEM_INCLUDE.match(line)
            if system and own != "platform" and system.group(1).startswith(PLATFORM_ONLY):
                faults.append(f"{relative}:{number}: {own} includes <{system.group(1)}>, which only platform may use")
            match = INCLUDE.match(line)
            if not match:
                continue
            target = layer_of(match.group(1))
            if target is None:
                faults.append(f"{relative}:{number}: includes \"{match.group(1)}\", which is in no layer")
            elif target not in allowed[own]:
                faults.append(f"{relative}:{number}: {own} includes \"{match.group(1)}\" of {target}, "
                              f"which is not below it")
    for fault in faults:
        print(fault)
    print(f"{len(files)} files checked, {len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
