#!/usr/bin/env python3
"""The lzmapack command as the dev portal uses it. Each package it writes is
read here with an independent reader of the layout (Python's struct and lzma
modules), so the writer cannot agree with a shared mistake in our reader."""
import lzma
import os
import random
import struct
import subprocess
import sys
import tempfile
import unittest

LZMAPACK = None


def read_package(data):
    """[(name, filter, unpacked bytes)] following the header chain."""
    entries, pos = [], 0
    while len(data) - pos >= 32:
        data_offset, packed_size, unpacked_size, name_length = struct.unpack_from("<IIIH", data, pos)
        name = data[pos + 32 : pos + 32 + name_length]
        assert name.endswith(b"\0"), name
        packed = data[data_offset : data_offset + packed_size]
        assert len(packed) == packed_size
        filt, props, dict_size, stored = packed[0], packed[1], *struct.unpack_from("<IQ", packed, 2)
        assert stored == unpacked_size
        lc, lp, pb = props % 9, (props // 9) % 5, props // 45
        chain = [{"id": lzma.FILTER_X86}] if filt == 1 else []
        chain.append({"id": lzma.FILTER_LZMA1, "lc": lc, "lp": lp, "pb": pb, "dict_size": dict_size})
        out = lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=chain).decompress(packed[14:])
        entries.append((name[:-1].decode(), filt, out[:unpacked_size], unpacked_size))
        pos = data_offset + packed_size
    assert pos == len(data), "no bytes after the last entry"
    return entries


class LzmapackCli(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def run_tool(self, *args):
        return subprocess.run([LZMAPACK, *args], capture_output=True, text=True)

    def test_entries_are_named_packed_and_chained_as_the_reader_expects(self):
        rng = random.Random(5)
        code = bytes(b for _ in range(4000) for b in (0xE8, rng.randrange(256), rng.randrange(4), 0, 0, 0x90))
        text = b"QuambarLauncher " * 500
        exe = self.write("new.exe", code)
        txt = self.write("notes.txt", text)
        empty = self.write("empty", b"")
        for extra, want_filter in (([], 1), (["--no-x86", "-1"], 0)):
            with self.subTest(extra=extra):
                out = self.path("p.lzma")
                r = self.run_tool("--end-marker", *extra, "-o", out, "--name", "LauncherQAMB.exe", exe, txt, empty)
                self.assertEqual(r.returncode, 0, r.stderr)
                with open(out, "rb") as f:
                    entries = read_package(f.read())
                self.assertEqual([e[0] for e in entries], ["LauncherQAMB.exe", "notes.txt", "empty"])
                self.assertEqual({e[1] for e in entries}, {want_filter})
                self.assertEqual([e[2] for e in entries], [code, text, b""])

    def test_without_end_marker_the_stream_is_shorter_and_holds_the_same_data(self):
        txt = self.write("notes.txt", b"0123456789abcdef" * 300)
        sizes = {}
        for flag in ("--end-marker", None):
            out = self.path("p.lzma")
            r = self.run_tool(*([flag] if flag else []), "--no-x86", "-o", out, txt)
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(out, "rb") as f:
                data = f.read()
            sizes[flag] = len(data)
            # A raw LZMA1 decoder without the size still yields every byte.
            entries = read_package(data)
            self.assertEqual(entries[0][2], b"0123456789abcdef" * 300)
        self.assertLess(sizes[None], sizes["--end-marker"])

    def test_bad_invocations_fail_clearly_and_write_nothing(self):
        txt = self.write("a.txt", b"a")
        out = self.path("p.lzma")
        cases = [
            (["-o", out, self.path("missing")], 1, "cannot read"),
            (["-o", out], 2, "usage"),
            ([txt], 2, "usage"),
            (["--bogus", "-o", out, txt], 2, "usage"),
            (["-o", out, "--name", "n" * 260, txt], 1, "259"),
            (["-o", self.path("no/such/dir/p.lzma"), txt], 1, "cannot write"),
        ]
        for args, code, message in cases:
            with self.subTest(args=args):
                r = self.run_tool(*args)
                self.assertEqual(r.returncode, code)
                self.assertIn(message, r.stderr)
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    LZMAPACK = sys.argv.pop(1)
    unittest.main(verbosity=2)
