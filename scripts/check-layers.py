#!/usr/bin/env python3
"""Checks that every include and every link of the project follows its layers.

The layers, lowest first, and what each may use (besides itself):

    util     util/StringUtils, util/MyDateTime, util/Log   the standard library only
    engine   engine/                                       util
    platform platform/                                     util
    env      util/Enviroment, util/Sound                   platform, util
    runtime  runtime/                                      env, platform, util
    controls controls/                                     runtime, env, platform, util
    app      app/                                          controls, runtime, env, platform,
                                                           engine, util
    cli      cli/                                          engine, util
    examples examples/ (the demonstrations)                every layer; used by tests only

Inside the platform, its libraries (exec, dos, graphics, intuition, ...) may include each other
only without a circle. Tests, benchmarks and examples sit above everything, but reach the platform
through its public headers (platform/include) only.

The project's own code (util, engine, runtime, controls, app, cli, examples) is in namespace
tessella, as the platform's libraries are in tessella::<library>; the AROS calls and types stay
global, as their headers declare them.

Usage: check-layers.py [SOURCE-DIR]. Prints each breach and exits 1 if there is any.
"""
import os
import re
import sys

LAYERS = {
    "util": set(),
    "engine": {"util"},
    "platform": {"util"},
    "env": {"platform", "util"},
    "runtime": {"env", "platform", "util"},
    "controls": {"runtime", "env", "platform", "util"},
    "app": {"controls", "runtime", "env", "platform", "engine", "util"},
    "cli": {"engine", "util"},
    # The demonstrations may use every layer; nothing may use them but tests.
    "examples": {"app", "controls", "runtime", "env", "platform", "engine", "util", "cli"},
}
ENV_FILES = {"util/Enviroment", "util/Sound"}
# Targets by layer; a link line may name only targets of the layers its own may use.
TARGETS = {
    "tessella_util": "util",
    "tessella_engine": "engine",
    "tessella_platform": "platform",
    "tessella_platform_core": "platform",
    "tessella_platform_backends": "platform",
    "tessella_env": "env",
    "tessella_runtime": "runtime",
    "tessella_controls": "controls",
    "tessella_app": "app",
    "tessella_demo": "examples",
    "tessella_gallery": "examples",
    "tessella": "app",
    "tessella-demo": "examples",
    "tessella-gallery": "examples",
    "tessella-window-demo": "examples",
    "tessella_cli_core": "cli",
    "tessella-cli": "cli",
}
ABOVE_ALL = ("tests/", "bench/", "examples/")
# Ties inside the platform still to be cut, each ignored by the circle check until it is; nothing
# else may join them. (None are left: the devices and the desktop back end register themselves.)
KNOWN_TIES = set()
# The desktop back end's own white-box tests, of functions that take SDL's types (the key map,
# the paste filter, the mixer, the display probe): the only tests that include private platform
# headers. Every other test and benchmark goes through the test interface (platform_test.h).
KNOWN_PRIVATE = {
    "tests/sdl/AudioAbsentTest.cpp",
    "tests/sdl/DesktopInputTest.cpp",
    "tests/sdl/DesktopKeysTest.cpp",
    "tests/sdl/DesktopPasteDropTest.cpp",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def layer_of(path):
    stem = os.path.splitext(path)[0]
    if stem in ENV_FILES:
        return "env"
    top = path.split("/", 1)[0]
    return top if top in LAYERS else None


def sources(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        for name in files:
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(folder, name), root)


def resolve(root, including, name):
    """The file an include names: the including file's folder, the top folder, or the
    platform's public headers."""
    for base in (os.path.dirname(including), "", "platform/include"):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def platform_library(path):
    parts = path.split("/")
    if len(parts) >= 3 and parts[0] == "platform" and parts[1] != "include":
        return parts[1]
    return None


def find_circle(edges):
    """A circle among the platform's libraries, as a list of names, or None."""
    state = {}
    trail = []

    def visit(node):
        state[node] = "open"
        trail.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return trail[trail.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        trail.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def check_includes(root, breaches):
    platform_edges = {}
    for path in sources(root):
        text = open(os.path.join(root, path), encoding="utf-8", errors="replace").read()
        for name in INCLUDE.findall(text):
            target = resolve(root, path, name)
            if target is None:
                breaches.append(f"{path}: includes \"{name}\", which is no file of the project")
                continue
            if path.startswith(ABOVE_ALL):
                if platform_library(target) and path not in KNOWN_PRIVATE:
                    breaches.append(f"{path}: includes \"{name}\", a private platform header")
                continue
            own, other = layer_of(path), layer_of(target)
            if own is None or other is None or own == other:
                if own == other == "platform":
                    a, b = platform_library(path), platform_library(target)
                    if a and b and a != b and (a, b) not in KNOWN_TIES:
                        platform_edges.setdefault(a, set()).add(b)
                continue
            if other not in LAYERS[own]:
                breaches.append(f"{path} ({own}): includes \"{name}\" ({other})")
    circle = find_circle(platform_edges)
    if circle:
        breaches.append("platform libraries include each other in a circle: " + " -> ".join(circle))


def check_links(root, breaches):
    link = re.compile(r"target_link_libraries\(\s*([\w-]+)([^)]*)\)", re.S)
    for path in sources_cmake(root):
        text = re.sub(r"#[^\n]*", "", open(os.path.join(root, path), encoding="utf-8").read())
        for target, rest in link.findall(text):
            own = TARGETS.get(target)
            if own is None:
                continue
            for used in re.findall(r"[\w-]+", rest):
                other = TARGETS.get(used)
                if other and other != own and other not in LAYERS[own]:
                    breaches.append(f"{path}: {target} ({own}) links {used} ({other})")


def sources_cmake(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        if "CMakeLists.txt" in files:
            yield os.path.relpath(os.path.join(folder, "CMakeLists.txt"), root)


def check_namespace(root, breaches):
    """The project's own code is in namespace tessella, as the platform's is in tessella::<library>;
    a program's file with main() uses it instead."""
    own = ("util/", "engine/", "runtime/", "controls/", "app/", "cli/", "examples/")
    for path in sources(root):
        if not path.startswith(own) or path == "examples/WindowDemo.cpp":
            continue
        text = open(os.path.join(root, path), encoding="utf-8", errors="replace").read()
        if "namespace tessella {" in text:
            continue
        if re.search(r"^int main\(", text, re.M) and "using namespace tessella;" in text:
            continue
        breaches.append(f"{path}: outside namespace tessella")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(__file__))
    breaches = []
    check_includes(root, breaches)
    check_links(root, breaches)
    check_namespace(root, breaches)
    for line in breaches:
        print(line)
    if breaches:
        print(f"{len(breaches)} breach(es) of the layers")
        return 1
    print("every include and link follows the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
