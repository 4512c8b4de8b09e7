#!/usr/bin/env python3
"""Fails while something the build or a script needs is missing from the install lists.

A fresh machine has only what scripts/install-deps.sh installs, so every dependency must
come from its lists (scripts/packages/*.txt), directly or as a dependency of a listed
package. Checked here, on the machine as it is:

- the configured build: every file that CMake found (find_package's config files,
  pkg-config's libraries, find_program's programs, the compilers) belongs to a package
  that the test command's lists install;
- the scripts: every program a shell script calls belongs to a package of the lists that
  the script itself installs (`install-deps.sh LIST...` in the script), or, for a script
  that installs nothing itself (it runs under another), of any list.

Files of essential or required packages are on every Debian machine and need no list;
files that no Debian package owns (a tool installed by hand) are reported, since a fresh
machine would not have them.

    check_install_lists.py SOURCE_DIR CMAKE_CACHE
"""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

# The lists the test command installs: they must cover the configured test build.
TEST_COMMAND_LISTS = ("build", "display", "test")
# What CMake's modules look for on their own, which nothing of ours uses.
UNUSED_FINDINGS = {"OPENGL_glu_LIBRARY"}
# Scripts that run inside the on-the-air test machine on busybox alone.
BUSYBOX_SHELL = "# shellcheck shell=sh"


def read_lists(source):
    lists = {}
    for path in sorted((source / "scripts" / "packages").glob("*.txt")):
        names = []
        for line in path.read_text().splitlines():
            word = line.split("#", 1)[0].strip()
            if word:
                names.append(word)
        lists[path.stem] = names
    return lists


def installed_packages():
    """name -> (dependencies, essential); virtual names resolved through Provides."""
    out = subprocess.run(
        ["dpkg-query", "-W", "-f=${Package}\t${Status}\t${Essential}\t${Priority}\t"
         "${Depends}, ${Pre-Depends}\t${Provides}\n"],
        check=True, capture_output=True, text=True).stdout
    packages, providers = {}, {}
    for line in out.splitlines():
        name, status, essential, priority, depends, provides = line.split("\t")
        if not status.endswith(" installed"):
            continue
        deps = set()
        for group in depends.split(","):
            for alternative in group.split("|"):
                word = re.sub(r"\(.*?\)|:\w+", "", alternative).strip()
                if word:
                    deps.add(word)
        packages[name] = (deps, essential == "yes" or priority == "required")
        for virtual in provides.split(","):
            word = re.sub(r"\(.*?\)", "", virtual).strip()
            if word:
                providers.setdefault(word, set()).add(name)
    return packages, providers


def closure(roots, packages, providers):
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        for real in ({name} | providers.get(name, set())):
            if real in seen or real not in packages:
                continue
            seen.add(real)
            todo.extend(packages[real][0])
    return seen


def file_owners():
    """path -> packages, from dpkg's file lists (one read, rather than a query a file)."""
    index = {}
    for listing in Path("/var/lib/dpkg/info").glob("*.list"):
        package = listing.stem.split(":")[0]
        for line in listing.read_text(errors="replace").splitlines():
            index.setdefault(line, set()).add(package)
    return index


def owners(path, index):
    """The packages that own path. dpkg knows a file by the path its package gave, which
    on a merged /usr may be the one without /usr (/bin/bash for /usr/bin/bash), and a
    link's target may belong to another package than the link."""
    found = set()
    for candidate in {str(path), os.path.realpath(path)}:
        for name in (candidate, re.sub(r"^/usr/(s?bin|lib\w*)/", r"/\1/", candidate)):
            found |= index.get(name, set())
    return found


def cache_files(cache):
    """Files the configured build found: config files of find_package, libraries,
    programs and headers of the cache entries."""
    files = set()
    for line in Path(cache).read_text().splitlines():
        match = re.match(r"^([^#/][^:=]*):(FILEPATH|PATH|STRING|INTERNAL)=(/usr/.+)$", line)
        if not match or match.group(1) in UNUSED_FINDINGS:
            continue
        name, kind, value = match.groups()
        path = Path(value)
        if kind == "PATH" and name.endswith("_DIR") and path.is_dir():
            files.update(p for p in path.glob("*onfig.cmake"))
        elif kind in ("FILEPATH", "INTERNAL") and path.is_file():
            files.add(path)
    return files


def script_tools(text):
    """Words of a shell script that name programs on this machine's PATH."""
    words = set()
    for line in text.splitlines():
        code = re.sub(r"(^|\s)#.*$", "", line)
        for word in re.findall(r"(?<![\w$./-])([A-Za-z][\w.+-]*)", code):
            words.add(word)
    tools = {}
    for word in words:
        path = shutil.which(word)
        if path and path.startswith("/usr/"):
            tools[word] = path
    return tools


def main():
    source, cache = Path(sys.argv[1]), sys.argv[2]
    lists = read_lists(source)
    packages, providers = installed_packages()
    index = file_owners()
    covered = {name: closure(names, packages, providers) for name, names in lists.items()}
    everything = set().union(*covered.values())
    problems = []

    def check(path, allowed, what):
        found = owners(path, index)
        if not found:
            problems.append(f"{what}: {path} belongs to no Debian package (installed by hand?)")
        elif not any(packages.get(p, (None, False))[1] or p in allowed for p in found):
            problems.append(f"{what}: {path} comes from {', '.join(sorted(found))}, "
                            "which no install list brings")

    for name in TEST_COMMAND_LISTS:
        if name not in lists:
            problems.append(f"no list scripts/packages/{name}.txt")
    # The test command installed its lists before this runs; the others' packages may
    # be missing here, and then what needs them is not on this machine to be checked.
    for name in TEST_COMMAND_LISTS:
        for package in lists.get(name, []):
            if package not in packages:
                problems.append(f"{name}.txt: {package} is not installed here")

    test_build = set().union(*(covered.get(n, set()) for n in TEST_COMMAND_LISTS))
    for path in sorted(cache_files(cache)):
        check(path, test_build, "the build")

    scripts = subprocess.run(["git", "-C", str(source), "ls-files", "*.sh", ".ci/run"],
                             check=True, capture_output=True, text=True).stdout.split()
    for script in scripts:
        text = (source / script).read_text()
        if BUSYBOX_SHELL in text.splitlines()[:3] and "hostapd" not in text:
            continue
        code = "\n".join(re.sub(r"(^|\s)#.*$", "", line) for line in text.splitlines())
        named = re.findall(r"install-deps\.sh'?\"?((?:[ \t]+[a-z]+)*)", code)
        own = [w for call in named for w in call.split()] if named else []
        allowed = set().union(*(covered.get(n, set()) for n in own)) if own else everything
        for word, path in sorted(script_tools(text).items()):
            check(path, allowed, f"{script} calls {word}")

    for problem in problems:
        print(problem)
    print(f"{len(problems)} missing from the install lists"
          if problems else "every dependency is in an install list")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
