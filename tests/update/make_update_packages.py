#!/usr/bin/env python3
"""Packs the launcher packages that the self-update tests meet on the dev
portal's resource host, one version folder each:

  make_update_packages.py LZMAPACK RESOURCES NEWER CURRENT UNVERSIONED \
      NEXT HALF TRUNCATED CORRUPT UNVERSIONED_FOLDER

  NEXT        the newer launcher                     (an update)
  HALF        the running launcher again             (a half-published release)
  TRUNCATED   NEXT's package cut to half its bytes
  CORRUPT     NEXT's package with impossible LZMA properties
  UNVERSIONED an executable without a version resource
"""
import os
import subprocess
import sys

PACKAGE = "launcherqamb.exe.lzma"
ENTRY = "LauncherQAMB.exe"
HEADER_SIZE = 32


def pack(lzmapack, exe, folder):
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, PACKAGE)
    subprocess.run([lzmapack, "-o", target + ".tmp", "--name", ENTRY, exe], check=True)
    os.replace(target + ".tmp", target)
    with open(target, "rb") as f:
        return f.read()


def write(folder, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, PACKAGE), "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 10:
        sys.exit(__doc__)
    lzmapack, resources, newer, current, unversioned, next_v, half_v, cut_v, bad_v, plain_v = argv
    good = pack(lzmapack, newer, os.path.join(resources, next_v))
    pack(lzmapack, current, os.path.join(resources, half_v))
    pack(lzmapack, unversioned, os.path.join(resources, plain_v))
    write(os.path.join(resources, cut_v), good[:len(good) // 2])
    # The first entry's packed data: its offset is the header's first field;
    # byte 1 of it is the LZMA properties byte, valid only below 225.
    data_offset = int.from_bytes(good[0:4], "little")
    corrupt = bytearray(good)
    corrupt[data_offset + 1] = 0xFF
    write(os.path.join(resources, bad_v), bytes(corrupt))


if __name__ == "__main__":
    main(sys.argv[1:])
