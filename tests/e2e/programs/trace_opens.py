"""Reads a trace of `strace -f -y -s 65536 -e trace=open,openat,openat2,creat` and tells which
of the given paths the traced program opened for anything but a look-up (O_PATH): by name, by a
descriptor the trace shows leading there, or through /proc/self/fd/N of an O_PATH descriptor
that had found it. A file name that a look-up followed into a path counts as that path.

    python3 trace_opens.py TRACE PATH...

Prints one line per forbidden open and path it reached (an open by the name of a link to a
device counts for both), and, last, "lookups PATH COUNT" for each path an O_PATH
look-up found, with how often (a race test uses that to show that the race was run). Exits 1 when a
forbidden open was seen.
"""
import re
import sys

CALL = re.compile(r'^(?:\[pid\s+)?(\d+)\]?\s*(open|openat|openat2|creat)\((.*)\)\s+=\s+(-?\d+)(?:<(.*)>)?')
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def unescape(text):
    return bytes(text, "utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8", "replace")


def main():
    trace, forbidden = sys.argv[1], sys.argv[2:]
    lookups = {path: 0 for path in forbidden}
    path_fds = {}  # an O_PATH descriptor and what it found
    bad = 0
    with open(trace, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = CALL.match(line.strip())
            if not match:
                continue
            arguments, result, reached = match.group(3), int(match.group(4)), match.group(5)
            names = [unescape(n) for n in QUOTED.findall(arguments)]
            name = names[0] if names else ""
            if "O_PATH" in arguments:
                if result >= 0 and reached is not None:
                    path_fds[result] = reached
                    if reached in lookups:
                        lookups[reached] += 1
                continue
            via = re.fullmatch(r"/proc/self/fd/(\d+)", name)
            targets = {name, reached}
            if via:
                targets.add(path_fds.get(int(via.group(1))))
            for hit in sorted(t for t in targets if t in lookups):
                bad += 1
                print("opened %s: %s" % (hit, line.strip()))
    for path, count in lookups.items():
        if count:
            print("lookups %s %d" % (path, count))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
