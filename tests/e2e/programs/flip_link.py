"""Points the symbolic link LINK at FIRST and SECOND in turn, each time atomically (a new link
renamed over the old one), about a thousand times a second, until it receives SIGTERM; writes
the number of flips so far to COUNT_FILE every hundred flips and at the end.

    python3 flip_link.py LINK FIRST SECOND COUNT_FILE
"""
import os
import signal
import sys
import time

link, first, second, count_file = sys.argv[1:5]
running = True


def stop(*_):
    global running
    running = False


def write_count(count):
    with open(count_file + ".new", "w") as out:
        out.write(str(count))
    os.replace(count_file + ".new", count_file)


signal.signal(signal.SIGTERM, stop)
spare = link + ".next"
flips = 0
while running:
    if os.path.lexists(spare):
        os.remove(spare)
    os.symlink(second if flips % 2 else first, spare)
    os.replace(spare, link)
    flips += 1
    if flips % 100 == 0:
        write_count(flips)
    time.sleep(0.001)
write_count(flips)
