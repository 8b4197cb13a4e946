#!/usr/bin/env python3
"""Deployable folder of the Windows build, and its missing-DLL check.

deploy: copies the given programs into a folder with the Qt plugins they
load, then every DLL they (and the plugins, and those DLLs) import that is
found in the search folders (the SDK's bin, the compiler's runtime).
Imports that Windows itself provides are left to Windows: the DLLs Wine
ships (Windows' own set) and the API-set names (api-ms-win-*, ext-ms-win-*)
that Windows maps to its DLLs without a file.
check: fails, naming them, when a DLL that a program, plugin or DLL of the
folder imports is neither in the folder nor a Windows DLL.
"""
import argparse
import os
import shutil
import subprocess
import sys

OBJDUMP = os.environ.get("MINGW_OBJDUMP", "x86_64-w64-mingw32-objdump")
# Windows' own DLLs: Wine's set here, System32 on Windows itself.
WINE_SYSTEM = os.environ.get(
    "MIRELO_WINE_SYSTEM_DLLS",
    os.path.join(os.environ.get("SystemRoot", r"C:\Windows"), "System32") if os.name == "nt"
    else "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")
# Plugin folders a Widgets program with TLS and SVG loads; of the platforms
# only the real desktop one is shipped.
PLUGIN_DIRS = ("platforms", "tls", "iconengines", "imageformats", "styles")
PLATFORMS = ("qwindows.dll",)


def imports(path):
    out = subprocess.run([OBJDUMP, "-p", path], check=True, capture_output=True, text=True).stdout
    return [line.split("DLL Name:", 1)[1].strip() for line in out.splitlines() if "DLL Name:" in line]


def is_api_set(name):
    return name.lower().startswith(("api-ms-win-", "ext-ms-win-"))


def system_dlls():
    if not os.path.isdir(WINE_SYSTEM):
        sys.exit(f"windeploy: {WINE_SYSTEM} missing (on Debian: package wine64); cannot tell Windows' own DLLs")
    return {name.lower() for name in os.listdir(WINE_SYSTEM) if name.lower().endswith(".dll")}


def binaries(folder):
    for dirpath, _, names in os.walk(folder):
        for name in sorted(names):
            if name.lower().endswith((".exe", ".dll")):
                yield os.path.join(dirpath, name)


def check(folder):
    system = system_dlls()
    present = {n.lower() for n in os.listdir(folder)}
    missing = []
    count = 0
    for binary in binaries(folder):
        count += 1
        for dll in imports(binary):
            if dll.lower() not in present and dll.lower() not in system and not is_api_set(dll):
                missing.append(f"{os.path.relpath(binary, folder)} -> {dll}")
    if missing:
        print("windeploy: missing DLLs in " + folder, file=sys.stderr)
        for line in missing:
            print("  " + line, file=sys.stderr)
        return 1
    print(f"windeploy: {folder}: {count} programs and DLLs, every import found")
    return 0


def find(dll, search):
    for folder in search:
        for name in os.listdir(folder):
            if name.lower() == dll.lower():
                return os.path.join(folder, name)
    return None


def deploy(folder, programs, search, plugins):
    os.makedirs(folder, exist_ok=True)
    for program in programs:
        shutil.copy2(program, folder)
    if plugins:
        for sub in PLUGIN_DIRS:
            src = os.path.join(plugins, sub)
            if not os.path.isdir(src):
                continue
            for name in sorted(os.listdir(src)):
                if not name.lower().endswith(".dll") or (sub == "platforms" and name.lower() not in PLATFORMS):
                    continue
                os.makedirs(os.path.join(folder, sub), exist_ok=True)
                shutil.copy2(os.path.join(src, name), os.path.join(folder, sub, name))
    system = system_dlls()
    todo = list(binaries(folder))
    done = set()
    while todo:
        binary = todo.pop()
        for dll in imports(binary):
            key = dll.lower()
            if key in system or key in done or is_api_set(dll):
                continue
            done.add(key)
            target = os.path.join(folder, dll)
            if any(n.lower() == key for n in os.listdir(folder)):
                continue
            found = find(dll, search)
            if found:  # an unfound one is left for the check to name
                shutil.copy2(found, os.path.join(folder, os.path.basename(found)))
                todo.append(target)
    return check(folder)


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    d = sub.add_parser("deploy")
    d.add_argument("folder")
    d.add_argument("programs", nargs="*")
    d.add_argument("--search", action="append", default=[])
    d.add_argument("--plugins")
    c = sub.add_parser("check")
    c.add_argument("folder")
    args = parser.parse_args()
    if args.command == "check":
        return check(args.folder)
    return deploy(args.folder, args.programs, [s for s in args.search if os.path.isdir(s)], args.plugins)


if __name__ == "__main__":
    sys.exit(main())
