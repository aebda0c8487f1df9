#!/usr/bin/env python3
"""Writes the seed corpus under fuzz/corpus/<target>/.

The file targets take their input as file bytes: their seeds are the example
files and the edge cases of the reader tests. The other targets split their
input with FuzzedDataProvider, which takes whole byte runs from the front and
integers, flags and characters from the back; `Tail` mirrors that, so each
seed below reads as the case its name gives. Run it again after changing how
a target consumes its input.
"""
import pathlib
import shutil
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"


class Provided:
    """Bytes laid out for FuzzedDataProvider."""

    def __init__(self):
        self.front = b""
        self.back = []  # in the order the target consumes them

    def raw(self, data):
        self.front += data
        return self

    def double(self, value):
        return self.raw(struct.pack("<d", value))

    def byte(self, value):
        self.back.append(value & 0xFF)
        return self

    def flag(self, value):
        return self.byte(1 if value else 0)

    def in_range(self, value, low, high):
        # One byte per eight bits of the range, most significant first.
        width = 0
        span = high - low
        while span >> (8 * width):
            width += 1
        for i in reversed(range(width)):
            self.byte((value - low) >> (8 * i))
        return self

    def text(self, value, max_length):
        self.in_range(len(value), 0, max_length)
        for c in value:
            self.byte(ord(c))
        return self

    def bytes(self):
        return self.front + bytes(reversed(self.back))


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def test_file_seeds():
    for example in sorted((ROOT / "examples").glob("*.oft")):
        write("fuzz_testfile", example.stem, example.read_bytes())
    for sample in sorted((ROOT / "tests" / "data").rglob("*.oft")):
        write("fuzz_testfile", "data-" + sample.stem, sample.read_bytes())
    cases = {
        "empty": b"",
        "key-in-capitals": b"DATE = 5 May\r\n",
        "no-blanks-around-equals": b"Date=5\r\n",
        "blank-before-equals-only": b"Date = 1\r\nDate =5\r\n",
        "second-word-never-examined": b"Date is 5 May\r\n",
        "tab-after-key": b"Date\t= x\r\n",
        "accumulating-lines": b"Notes = n1\r\nFlow = #1\r\nLocation = l1\r\nDate = d\r\n"
        b"Notes = n2\r\nStatic = 1\r\nFlow = #2\r\nLocation = l2\r\nNotes = \r\n",
        "flow-empty": b"Flow = \r\n",
        "flow-seven-items": b"Flow = #1,1,2,3,4,5,6\r\n",
        "flow-decimal-commas": b'Flow = #1,,"63,5","0,9"\r\n',
        "flow-doubled-quote": b'Flow = "2"" cap",1\r\n',
        "flow-unclosed-quote": b'Flow = #1,"2.5\r\n',
        "flow-blanks-between-items": b"Flow =  #1  2.5 , 0.9,,\x01,\r\n",
        "nul-in-the-middle": b"Date = 1\r\nTime = 2\x00\r\nStatic = 3\r\n",
        "lone-cr-and-lf": b"Date = 1\rTime = 2\nStatic = 3",
        "blanks-in-values": b"Notes =    a  b  \r\nLocation =    \r\n",
        "windows-1252": b"Location = Caf\xe9 \x80 \x81\x8d\r\n",
        "utf8-with-mark": b"\xef\xbb\xbf" + "Location = Αθήνα 中\r\nFlow = Ω,\"\u2028\"\r\n".encode(),
        "mark-twice": b"\xef\xbb\xbf\xef\xbb\xbfDate = x\r\n",
    }
    for name, data in cases.items():
        write("fuzz_testfile", name, data)


def report_seeds():
    # The first byte picks units, flow note and decimal separator.
    for choice, example in enumerate(sorted((ROOT / "examples").glob("*.oft"))):
        write("fuzz_reportfiles", example.stem, bytes([choice * 5]) + example.read_bytes())
    many = b"".join(b"Flow = #%d,1,2.5,0.9,10,\r\n" % i for i in range(1, 41))
    cases = {
        "forty-outlets": b"\x00Static = 60\r\nResidual = 40\r\n" + many,
        "hostile-text": b"\x00Location = <script>alert(1)</script> & \"q\" 'a'\r\n"
        b"Flow = <b>,&amp;,2.5,0.9,10,1000\r\nStatic = 60\r\nResidual = 40\r\n",
        "beyond-winansi": b"\x01\xef\xbb\xbf" + "Location = Αθήνα Привет 消防栓 😀\r\n"
        "Notes = \u2028\u00a0\r\nStatic = 5,5\r\nResidual = 4\r\nFlow = #1,,,,,3000\r\n".encode(),
        "long-texts": b"\x02Date = " + b"d" * 300 + b"\r\nStatic = " + b"9" * 200 + b"\r\n"
        b"Notes = " + b"word " * 400 + b"\r\nFlow = #1,,,,," + b"1" * 100 + b"\r\n",
        # Longer than a PDF string may be: drawn only as far as the paper shows it.
        "hundred-thousand-character-date": b"\x00Date = " + b"5" * 100000 + b"\r\nStatic = 60\r\n"
        b"Residual = 40\r\nFlow = #1,,2.5,0.9,10,\r\n",
    }
    for name, data in cases.items():
        write("fuzz_reportfiles", name, data)


def options_file_seeds():
    cases = {
        "example": b"TestBy = District Fire Prevention Bureau\r\nTestBy = Hydrant Inspection Unit\r\n"
        b"Units = PSI\r\nShowExtraFlow = T\r\nExtraPress = 20\r\n",
        "units-in-small-letters": b"Units = bar\r\n",
        "units-trailing-space": b"Units = BAR \r\n",
        "two-units-lines": b"Units = KPA\r\nUnits = BAR\r\n",
        "small-f": b"ShowExtraFlow = f\r\nExtraPress = 1,5\r\n",
        "capital-f": b"ShowExtraFlow = F\r\nExtraPress = \r\n",
        "testers-apart": b"TestBy =   A  \r\nUnits = BAR\r\nTestBy = \r\nTestBy = B\r\n",
        "nul-ends-text": b"Units = BAR\r\n\x00Units = KPA\r\n",
        "lone-breaks": b"TestBy = a\rTestBy = b\nUnits = kpa",
        "utf8-with-mark": b"\xef\xbb\xbf" + "TestBy = Αθήνα\r\nUnits = KPA\r\n".encode(),
    }
    for name, data in cases.items():
        write("fuzz_optionsfile", name, data)


def outlet_row_seeds():
    values = {
        "full-row": "#1,,2.5,0.9,18,712",
        "trailing-comma": "#2,,2.5,0.9,15,",
        "commas-only": ",,,,,",
        "decimal-commas": '#1,,"63,5","0,9"',
        "doubled-quote": '"2"" cap",1',
        "unclosed-quote": '#1,"2.5',
        "quote-then-one-char": '#1,"x',
        "blanks-and-controls": "  #1  2.5\t, 0.9,\x01,",
        "seven-items": "#1,1,2,3,4,5,6",
        "nul-inside": "#1,2\x005,6",
    }
    for name, value in values.items():
        write("fuzz_outletrow", "value-" + name, Provided().flag(False).text(value, 200).bytes())
    rows = {
        "plain": ["#1", "", "2.5", "0.9", "10", "531"],
        "quotes-commas-blanks": ['2" cap', "12,5", " ", "a b", "", "\t"],
        "line-breaks": ["\r", "a\nb", "", "", "", "x"],
    }
    for name, cells in rows.items():
        seed = Provided().flag(True)
        for cell in cells:
            seed.text(cell, 12)
        write("fuzz_outletrow", "cells-" + name, seed.bytes())


def number_seeds():
    # separator, a value to format, Size, C, Pitot, Flow, and one long text
    cases = {
        "us-worked-flow": (".", 530.788, ["2.5", "0.9", "10", ""], ""),
        "us-worked-pitot": (".", 35.494, ["2.5", "0.9", "", "1000"], "1E1"),
        "bar-comma": (",", 0.98604, ["63,5", "0,9", "0,69", "2400"], "1,5e1"),
        "separator-alone": (".", 0.05, [".", " 2.5 ", "-10", "1e999"], "1e-999"),
        "blanks-and-signs": (",", -1e-7, ["  -2,5", "+3", ",", "2.5"], "25e-1"),
        "long-number": (".", 1.5e20, ["1e150", "1", "1", "1e300"], "1" + "0" * 330),
        "long-number-negative-exponent": (".", 1e-300, ["2.5", "0.9", "10", ""], "1" + "0" * 330 + "e-1"),
        "long-fraction-positive-exponent": (",", 5e-324, ["2,5", "0,9", "", "1000"], "0," + "0" * 330 + "1e5"),
    }
    for name, (separator, value, cells, long_text) in cases.items():
        seed = Provided().flag(separator == ",").double(value)
        for cell in cells:
            seed.text(cell, 24)
        seed.text(long_text, 800)
        write("fuzz_numbertext", name, seed.bytes())


def graph_seeds():
    # S, R, Q given as raw doubles; default divisions; then units, the
    # show flag, separator, font choice, metrics and the chosen pressure.
    cases = {
        "us-60-40-1000": (60, 40, 1000, 0, True, ".", False, "20"),
        "us-show-off": (60, 40, 1000, 0, False, ".", False, "20"),
        "flat-supply": (50, 50, 800, 0, True, ".", False, "20"),
        "residual-zero": (60, 0, 500, 0, True, ".", False, "20"),
        "both-pressures-zero": (0, 0, 500, 0, True, ".", False, "20"),
        "negative-static": (-10, -20, 500, 0, True, ".", False, "20"),
        "bar-5.5-4.0-3000": (5.5, 4.0, 3000, 1, True, ",", False, "1,4"),
        "kpa-wide-labels": (1000, 400, 5000, 2, True, ".", False, ""),
        "huge-flow": (60, 40, 1.23456789e20, 0, True, ".", False, "20"),
        "real-font": (60, 40, 1000, 0, True, ".", True, "20"),
        "real-font-kpa": (1234.5, 100, 2.5e7, 2, True, ",", True, "0,5"),
    }
    for name, (s, r, q, units, show, separator, real, pressure) in cases.items():
        seed = Provided()
        for value in (s, r, q):
            seed.in_range(0, 0, 3).double(value)
        seed.flag(True)  # five divisions each
        seed.in_range(units, 0, 2).flag(show).flag(separator == ",")
        seed.in_range(0 if real else 1, 0, 15)
        for value, low, high in ((9, 4, 12), (4, 2, 12), (11, 4, 16), (5, 2, 12), (9, 1, 24), (18, 8, 32)):
            seed.in_range(value, low, high)
        seed.text(pressure, 16)
        write("fuzz_flowgraph", name, seed.bytes())


def kept_findings():
    # Inputs the fuzzers found that broke a check once; kept as they were.
    write("fuzz_flowgraph", "found-nine-divisions-wide-inner-label",
          bytes.fromhex("00000000006fbf7f18000000006fbf7f18000000fbffffffc080bfd6e42b010a08030733020100"))
    write("fuzz_flowgraph", "found-flow-maximum-overflows",
          bytes.fromhex("7b003240f0bfed7f7f004052001515f6f6f61515f6444648475730f3020a008e8657308e8e"))
    write("fuzz_numbertext", "found-separator-before-line-break",
          bytes.fromhex("33ff2e302bcad9510000393d393939393939362e2c0338ffffffffffffff0a2e3003322e300380"))


if __name__ == "__main__":
    for target in ("fuzz_testfile", "fuzz_optionsfile", "fuzz_outletrow", "fuzz_numbertext", "fuzz_flowgraph",
                   "fuzz_reportfiles"):
        shutil.rmtree(CORPUS / target, ignore_errors=True)
    test_file_seeds()
    report_seeds()
    options_file_seeds()
    outlet_row_seeds()
    number_seeds()
    graph_seeds()
    kept_findings()
