#!/usr/bin/python3
"""Re-draws the skin into a scratch folder and compares it with skin/.

    check_skin.py SKINDIR SCRATCHDIR

Exits 1 when an image differs in size or pixels, when the generator draws an
image that skin/ lacks, or when skin/ holds a PNG the generator does not
draw. Equal pixels with different bytes (another zlib) pass with a note.
"""

import os
import shutil
import subprocess
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def main(argv):
    if len(argv) != 3:
        print("usage: check_skin.py SKINDIR SCRATCHDIR", file=sys.stderr)
        return 2
    skin, scratch = argv[1], argv[2]
    shutil.rmtree(scratch, ignore_errors=True)
    rc = subprocess.call([sys.executable, os.path.join(HERE, "generate_skin.py"), scratch])
    if rc != 0:
        print("check_skin: the generator failed (%d)" % rc)
        return 1
    drawn = sorted(f for f in os.listdir(scratch) if f.endswith(".png"))
    committed = sorted(f for f in os.listdir(skin) if f.lower().endswith(".png"))
    bad = 0
    for name in sorted(set(committed) - set(drawn)):
        print("check_skin: %s is in skin/ but the generator does not draw it" % name)
        bad += 1
    for name in drawn:
        path = os.path.join(skin, name)
        if not os.path.exists(path):
            print("check_skin: %s is drawn but not committed" % name)
            bad += 1
            continue
        new_bytes = open(os.path.join(scratch, name), "rb").read()
        if new_bytes == open(path, "rb").read():
            continue
        a = np.asarray(Image.open(path).convert("RGBA"))
        b = np.asarray(Image.open(os.path.join(scratch, name)).convert("RGBA"))
        if a.shape != b.shape:
            print("check_skin: %s is %s in skin/, drawn %s" % (name, a.shape, b.shape))
            bad += 1
            continue
        diff = np.argwhere(np.any(a != b, axis=-1))
        if len(diff):
            y, x = diff[0]
            print("check_skin: %s differs in %d pixels, first at %d,%d (%s vs %s)"
                  % (name, len(diff), x, y, tuple(a[y, x]), tuple(b[y, x])))
            bad += 1
        else:
            print("check_skin: %s has equal pixels but other bytes" % name)
    print("check_skin: %d images, %d differ" % (len(drawn), bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
