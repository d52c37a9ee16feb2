#!/usr/bin/env python3
"""Writes text/cp932_table.cpp: code page 932 as Windows converts it.

    make_cp932_table.py [OUTPUT]          write the table (default text/cp932_table.cpp)
    make_cp932_table.py --check [FILE]    exit 1 when FILE is not what this script writes

Decoding is Python's cp932 codec, which holds Microsoft's table. Encoding is
its round trip: a character has a code only when that code decodes back to
it, so the seven characters other tables map onto their Microsoft twins
(U+301C onto the code of U+FF5E, and so on) have none, nor have U+00A5 and
U+203E. Where several codes decode to one character, Windows writes the lowest,
except that the NEC-selected IBM extensions (lead bytes 0xED and 0xEE) come
after the IBM extensions (0xFA to 0xFC); Python's own encoder prefers the
former, so it is not used.

The tables are two-level: a character's high byte picks a block of 256 codes
(blocks that are alike are stored once), and a lead byte picks a row of the
trail bytes 0x40 to 0xFC.
"""

import os
import sys

NONE = 0xFFFF
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFC
LEAD_BYTES = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
LOOK_ALIKES = {0x301C: 0xFF5E, 0x2016: 0x2225, 0x2212: 0xFF0D, 0x2014: 0x2015, 0x00A2: 0xFFE0, 0x00A3: 0xFFE1,
               0x00AC: 0xFFE2}


def decoded(code_bytes):
    try:
        text = code_bytes.decode("cp932")
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


def decode_tables():
    """The character of every one-byte code and of every double-byte code."""
    bytes_ = {b: decoded(bytes([b])) for b in range(0x100) if b not in LEAD_BYTES}
    pairs = {}
    for lead in LEAD_BYTES:
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            char = decoded(bytes([lead, trail]))
            if char is not None:
                pairs[lead << 8 | trail] = char
    return bytes_, pairs


def encode_table(bytes_, pairs):
    """Each character's code, chosen as Windows chooses among codes that decode alike."""
    codes = {}
    for code, char in list(bytes_.items()) + list(pairs.items()):
        codes.setdefault(char, []).append(code)

    def preference(code):
        return (0xED <= code >> 8 <= 0xEE, code)

    return {char: min(candidates, key=preference) for char, candidates in codes.items()}


def check_tables(bytes_, pairs, encode):
    assert all(char is not None for char in bytes_.values()), "every one-byte code decodes"
    for char, code in encode.items():
        back = bytes_[code] if code < 0x100 else pairs[code]
        assert back == char, "U+%04X does not come back from 0x%X" % (char, code)
    for look_alike, twin in LOOK_ALIKES.items():
        assert look_alike not in encode and twin in encode, "U+%04X" % look_alike
    assert 0xA5 not in encode and 0x203E not in encode
    assert max(encode) < 0x10000


def numbers(values, digits=4, per_line=16):
    form = "0x%%0%dX," % digits
    return ["    " + " ".join(form % v for v in values[i:i + per_line]) for i in range(0, len(values), per_line)]


def render():
    bytes_, pairs = decode_tables()
    encode = encode_table(bytes_, pairs)
    check_tables(bytes_, pairs, encode)

    blocks = []
    block_of_high = []
    for high in range(0x100):
        block = tuple(encode.get(high << 8 | low, NONE) for low in range(0x100))
        if block not in blocks:
            blocks.append(block)
        block_of_high.append(blocks.index(block))
    assert len(blocks) <= 0x100

    rows = []
    row_of_lead = [0xFF] * 0x100
    for lead in LEAD_BYTES:
        row = tuple(pairs.get(lead << 8 | trail, NONE) for trail in range(TRAIL_FIRST, TRAIL_LAST + 1))
        if any(char != NONE for char in row):
            row_of_lead[lead] = len(rows)
            rows.append(row)
    assert len(rows) < 0xFF

    lines = [
        "// Code page 932 as Windows converts it. Made by scripts/make_cp932_table.py: do not edit.",
        "#include \"text/cp932.h\"",
        "",
        "// clang-format off",
        "const uint8_t cp932_block_of_high[256] = {",
    ]
    lines += numbers(block_of_high, 2)
    lines += ["};", "", "const uint16_t cp932_code_blocks[%d][256] = {" % len(blocks)]
    for i, block in enumerate(blocks):
        lines += ["  {  // %d" % i] + numbers(block) + ["  },"]
    lines += ["};", "", "const uint16_t cp932_byte_chars[256] = {"]
    lines += numbers([bytes_.get(b, NONE) for b in range(0x100)])
    lines += ["};", "", "const uint8_t cp932_row_of_lead[256] = {"]
    lines += numbers(row_of_lead, 2)
    lines += ["};", "", "const uint16_t cp932_pair_rows[%d][%d] = {" % (len(rows), TRAIL_LAST - TRAIL_FIRST + 1)]
    for lead in LEAD_BYTES:
        if row_of_lead[lead] != 0xFF:
            lines += ["  {  // lead 0x%02X" % lead] + numbers(rows[row_of_lead[lead]]) + ["  },"]
    lines += ["};", "// clang-format on", ""]
    return "\n".join(lines)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "text", "cp932_table.cpp")
    check = "--check" in argv
    paths = [a for a in argv if a != "--check"]
    path = paths[0] if paths else default
    text = render()
    if check:
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                print("%s is not what %s writes: run it again" % (path, os.path.basename(__file__)))
                return 1
        return 0
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
