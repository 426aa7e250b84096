#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target (tests/fuzz/corpus/<name>/) from the documented
examples. The targets read their inputs with libFuzzer's FuzzedDataProvider: texts from the front,
numbers from the back (the first number taken is the last byte), so each seed is built the same way."""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Seed:
    def __init__(self):
        self.front = b""
        self.back = b""  # in the order the target takes them

    def integer(self, value, lo, hi):
        span, size = hi - lo, 0
        while size < 8 and (span >> (8 * size)) > 0:
            size += 1
        self.back += (value - lo).to_bytes(size, "big") if size else b""
        return self

    def u8(self, value):
        self.back += bytes([value & 0xFF])
        return self

    def u16(self, value):
        self.back += value.to_bytes(2, "big")
        return self

    def flag(self, value):
        return self.u8(1 if value else 0)

    def string(self, data):
        """A text of ConsumeRandomLengthString: '\\' doubled, ended by '\\' and another character."""
        data = data.encode("latin-1") if isinstance(data, str) else data
        self.front += data.replace(b"\\", b"\\\\") + b"\\;"
        return self

    def rest(self, data):
        self.front += data.encode("latin-1") if isinstance(data, str) else data
        return self

    def bytes(self):
        return self.front + self.back[::-1]


def write(name, seeds):
    folder = os.path.join(HERE, "corpus", name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for i, seed in enumerate(seeds):
        data = seed.bytes() if isinstance(seed, Seed) else seed
        with open(os.path.join(folder, "seed-%02d" % i), "wb") as f:
            f.write(data)


def time_text():
    rows = ["14:53:27", "7.5,3", "9", "9 30", "12: 30", "12::30", "12:30:45:10", "ab:30", "+5;7", "14h30",
            "abc", "", ":30", "24:00:00", "12:60", "-1:00:00", "1234567890123456:00", "23:59:00", "23:59:59"]
    write("time_text", [r.encode() for r in rows])


def command():
    rows = ["&&yyyymodd", "&&hhmiss", "backup.cmd &&yyyy&&mo&&dd_&&hh&&mi&&ss.log", "x&&yyyy-&&mo-&&dd",
            "&&ddmo", "&&mohh", "a&&b", "a&&", "&&&", "&&&&", "&&&&yyyy", "a & b", "&&YYYY", "&&mm", "&&yyy",
            "backup.bat log-&&yyyymodd.txt", ""]
    seeds = []
    for text in rows:
        s = Seed()
        for v in (2026, 12, 6, 5, 7, 4, 9):  # Saturday 2026-12-05 07:04:09
            s.u16(v)
        seeds.append(s.flag(True).rest(text))
    write("command", seeds)


def options():
    rows = ["", "   ", "-as", "/as", "-as=1", "-AS", "-pp=2", "-pp=0x3", "-pp=010", "-pp=3abc", "-pp=-1", "-pp=ON",
            "-pp=Off", "-pp=x", "-pp=1 -pp=2", "-pp=1 -pp=x", "-pp=x -zz", "-pp=x -pp=2",
            '-if="C:\\My Files\\Kelvast.ini"', '"-as"', '-if="a b"x', "- word", "/xyz=5",
            "-rc -rd -rr -rw -id -ir -iw -pt=6", "-rr -iw", "-ir -rw", "-rd -id -as -pp=1",
            "file.txt -s=small"]
    seeds = []
    for i, text in enumerate(rows):
        # Some seeds add the positional and the small string row the program's table lacks.
        seeds.append(Seed().u8(3 if i % 3 == 2 else 0).integer(128, 1, 300).integer(8, 0, 40).integer(6, 0, 40)
                     .rest(text))
    write("options", seeds)


def number_list():
    rows = [("7,8.9;10 11", 4), ("7,8.9;10 11", 6), ("0x1F", 1), ("0X1f", 1), ("1f", 1), ("0x", 1), ("640", 1),
            ("1,255", 2), ("0x1,0xff", 2), ("abc", 1), ("", 3)]
    write("number_list", [Seed().integer(n, 0, 16).flag(i % 2).integer(8, 1, 200).rest(t)
                          for i, (t, n) in enumerate(rows)])


def multi_string():
    rows = [b"a\0b\0\0", b"50%", b"", b"\0b\0\0", b"a%_b", b"50%%", b"%_b", b"run%_08:00:00%_1000001", b"%",
            b"a%x"]
    seeds = []
    for i, data in enumerate(rows):
        s = Seed().integer(6, 1, 64)
        s = s.flag(True) if i % 2 else s.flag(False).integer(8, 0, 64)
        seeds.append(s.rest(data))
    write("multi_string", seeds)


def settings():
    def dword(v):
        return struct.pack("<I", v)

    def seed(mode, section, rows):
        s = Seed().integer(16, 1, 300).integer(8, 2, 64).integer(3, 1, 8).flag(False).integer(section, 0, 2)
        s.integer(mode, 0, 15)
        for registry, ini in rows:  # registry: (type index, bytes) or None; ini: text or None
            where = (1 | (registry[0] << 2) if registry else 0) | (2 if ini is not None else 0)
            s.u8(where)
            if registry:
                s.string(registry[1])
            if ini is not None:
                s.string(ini)
        return s

    same = 4  # the row's own type
    registry = [((same, dword(v)), None) for v in (1, 2, 3, 4, 29)] + [
        ((same, b"50%\0x\0\0"), None), ((same, b"hello"), None), ((same, b"a\0b\0\0"), None),
        ((0, b"1,2,3\0"), None), (None, None)]
    ini = [(None, t) for t in ("11", "12", "13", "14", "31", "run%_08:00:00%_1000001", "hi", "a%_b",
                               "7,8.9;10 11", "x")]
    both = [(r[0], i[1]) for r, i in zip(registry, ini)]
    odd = [((1, b"\x05"), "abc"), ((0, b"12"), "0x1F"), ((2, b"x" * 40), ""), ((3, b""), "~~"), (None, "####"),
           ((0, b"h" * 2570 + b"\0\0"), ""), ((0, b"unterminated"), None), ((0, b"no pair"), "50%%"),
           ((1, b"0x1,0xff"), "1,255"), ((3, b"bin"), None)]
    write("settings", [seed(1, 0, registry), seed(4, 0, ini), seed(5, 1, both), seed(1, 2, odd), seed(4, 1, odd),
                       seed(0, 0, both)])


def history():
    def entry(command, time="10:00:00", mask="0111110"):
        return command.encode() + b"\0" + time.encode() + b"\0" + mask.encode() + b"\0"

    def seed(stored, adds, fill=0):
        s = Seed().u8(fill).integer(len(adds), 0, 4).integer(len(stored), 0, 2571).rest(b"")
        s.front += stored
        for source, command, time, mask in adds:
            s.u8(source).string(command).string(time).string(mask)
        return s

    fresh = 255  # a new command line rather than a listed one
    ten = b"".join(entry("cmd%d" % i) for i in range(10)) + b"\0"
    # Nine entries of 273 bytes and a new one of 114 fill the buffer but for its closing zero byte.
    nine_long = b"".join(entry(chr(ord("a") + i) * 255, "23:59:59", "1111111") for i in range(9)) + b"\0"
    write("history", [
        seed(b"\0\0", [(fresh, "notepad.exe", "10:00:00", "0100000"), (fresh, "calc.exe", "11:00:00", "0100000"),
                       (fresh, "notepad.exe", "12:00:00", "0000010")]),
        seed(entry("a", "01:02:03", "1000001") + b"\0", [(0, "", "12:00:00", "1000001")]),
        seed(ten, [(fresh, "new", "09:00:00", "1000000"), (fresh, "newer", "09:00:00", "1000000")]),
        seed(b"", [(fresh, "new", "02:00:00", "0000001")], fill=ord("a")),
        seed(b"\0\0\0" + entry("a") + entry("b", "02:00:00") + b"\0", [(fresh, "c", "03:00:00", "0010000")]),
        seed(b"", [(fresh, "y" * 255, "23:59:59", "1111111"), (fresh, "z" * 256, "23:59:59", "1111111")]),
        seed(nine_long, [(fresh, "n" * 96, "23:59:59", "1111111")]),
    ])


if __name__ == "__main__":
    time_text()
    command()
    options()
    number_list()
    multi_string()
    settings()
    history()
