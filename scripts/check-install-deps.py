#!/usr/bin/python3
"""Checks that scripts/install-deps.sh names every Debian package the
configured build relies on.

Usage: check-install-deps.py <build dir> <install-deps.sh>

What the build relies on is read from the build tree itself: every package
configuration folder find_package found (Qt's own dependencies included, for
example Qt6Charts -> Qt6OpenGL), every library or program the configuration
cached, and every library the link lines name (-lxdo, /usr/lib/.../libzip.so).
Each file is mapped to its owning package with dpkg -S; the package must be
in the install list or be a dependency of a listed package (recommended
packages do not count: the script installs without them).
"""
import os
import re
import subprocess
import sys


def listed_packages(script):
    text = open(script, encoding="utf-8").read()
    block = re.search(r"packages=\((.*?)\)", text, re.S)
    if not block:
        sys.exit(f"no packages=( ... ) list in {script}")
    words = re.sub(r"#.*", "", block.group(1)).split()
    return set(words)


def dependency_closure(packages):
    out = subprocess.run(
        ["apt-cache", "depends", "--recurse", "--installed", "--no-recommends", "--no-suggests",
         "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances", *sorted(packages)],
        capture_output=True, text=True, check=True).stdout
    closure = set(packages)
    for line in out.splitlines():
        name = line.split(":", 1)[-1].strip().strip("<>").split(":")[0]
        if name:
            closure.add(name)
    return closure


def cached_files(build):
    files = set()
    for line in open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8", errors="replace"):
        m = re.match(r"^([A-Za-z0-9_]+):(PATH|FILEPATH)=(/.+)$", line.strip())
        if not m:
            continue
        name, kind, value = m.groups()
        if value.startswith(os.path.abspath(build)) or not value.startswith(("/usr", "/lib")):
            continue
        if kind == "PATH" and name.endswith("_DIR") and os.path.isdir(value):
            configs = [f for f in os.listdir(value) if f.endswith(("Config.cmake", "-config.cmake"))]
            files.update(os.path.join(value, f) for f in configs)
        elif kind == "FILEPATH" and os.path.isfile(value) and not re.search(r"\.so(\.|$)", value):
            files.add(value)  # programs; libraries count when a link line names them
    return files


def linked_files(build):
    files = set()
    ninja = open(os.path.join(build, "build.ninja"), encoding="utf-8", errors="replace").read()
    for libs in re.findall(r"^\s*LINK_LIBRARIES = (.*)$", ninja, re.M):
        for word in libs.split():
            if word.startswith("-l"):
                candidates = [os.path.join(folder, f"lib{word[2:]}{suffix}")
                              for suffix in (".so", ".a")
                              for folder in ("/usr/lib/x86_64-linux-gnu", "/usr/lib", "/lib/x86_64-linux-gnu")]
                for path in candidates:
                    if os.path.exists(path):
                        files.add(path)
                        break
                else:
                    files.add(word)
            elif word.startswith(("/usr/", "/lib/")) and re.search(r"\.(so|a)(\.|$)", word):
                files.add(word)
    return files


def owner(path):
    for candidate in (path, os.path.realpath(path)):
        out = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        if out.returncode == 0:
            return out.stdout.split(":", 1)[0].split(",")[0].strip()
    return None


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build, script = sys.argv[1], sys.argv[2]
    listed = listed_packages(script)
    closure = dependency_closure(listed)
    files = cached_files(build) | linked_files(build)
    missing = {}
    for path in sorted(files):
        package = owner(path) if path.startswith("/") else None
        if package is None:
            missing.setdefault("(no package)", []).append(path)
        elif package not in closure:
            missing.setdefault(package, []).append(path)
    print(f"{len(files)} files of the build, {len(listed)} listed packages, {len(closure)} with dependencies")
    for package, paths in sorted(missing.items()):
        print(f"not in install-deps.sh: {package} ({', '.join(paths)})")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
