#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/corpus/.

The seeds are the worked tickets and the edges of each rule, plus states only
a corrupted record could hold, so every run starts from the cases that
matter. Files are named after what they hold; inputs the fuzzer found later
(merged with scripts/fuzz.sh --merge) sit beside them under hash names.
Run from anywhere: python3 fuzz/seeds.py
"""
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
RAW = 0xFF  # escape byte: a raw 32-bit value follows
UNITS = [5, 10, 20, 100, 200, 300, 500, 1000]


def value(number):
    """An 8-byte input for format_fuzz."""
    return struct.pack("<q", number)


def bet(index):
    if 0 <= index <= 10:
        return bytes([index])
    return bytes([RAW]) + struct.pack("<i", index)


def unit(cents):
    if cents in UNITS:
        return bytes([UNITS.index(cents)])
    return bytes([RAW]) + struct.pack("<I", cents)


def size(field):
    if 0 <= field <= 20:
        return bytes([field])
    return bytes([RAW]) + struct.pack("<i", field)


def state(bet_type, cents, fields, rows, count=None, probe=0, overrides=()):
    """A ticket_fuzz input. fields is one size for all rows or a list of
    eight; rows lists the ticked horse numbers of rows A, B, ...; count, when
    given, is stored in place of the computed one; overrides are
    (row, horse, raw value) written into single boxes."""
    shared = isinstance(fields, int)
    flags = (1 if shared else 0) | (2 if count is not None else 0)
    data = bytes([flags]) + bet(bet_type) + unit(cents)
    data += size(fields) if shared else b"".join(size(f) for f in fields)
    bits = 0
    for r, horses in enumerate(rows):
        for horse in horses:
            bits |= 1 << (r * 20 + horse - 1)
    data += bits.to_bytes(20, "little")
    if count is not None:
        data += struct.pack("<q", count)
    data += struct.pack("<b", probe)
    for r, horse, raw in overrides:
        data += bytes([r * 20 + horse - 1]) + struct.pack("<i", raw)
    return data


ALL = list(range(1, 21))
FORMAT = {
    "zero": value(0),
    "seven": value(7),
    "cents-5": value(5),
    "cents-150": value(150),
    "grouped-1234": value(1234),
    "superfecta6-count": value(27907200),
    "one-billion": value(1_000_000_000),
    "one-billion-and-one": value(1_000_000_001),
    "billion-dollars-99-cents": value(100_000_000_099),
    "billion-dollars-and-a-dollar": value(100_000_000_100),
    "two-to-the-32": value(1 << 32),
    "minus-one": value(-1),
    "minus-99-cents": value(-99),
    "int64-min": value(-(1 << 63)),
    "int64-max": value((1 << 63) - 1),
}
TICKET = {
    "trifecta-worked-example": state(1, 100, 12, [[1, 2], [5], [3, 4]]),
    "pick3-ten-cents": state(5, 10, 12, [[1, 2], [3, 4, 5], [6, 7, 8, 9]]),
    "exacta-box-of-three": state(0, 5, 12, [[1, 2, 3], [1, 2, 3]]),
    "exacta-same-single-horse": state(0, 300, 12, [[1], [1]]),
    "superfecta-box-of-five": state(2, 100, 12, [list(range(1, 6))] * 4),
    "superfecta5-per-row-fields": state(3, 20, [6, 7, 8, 9, 10, 12, 12, 12], [list(range(1, 11))] * 5),
    "superfecta6-full": state(4, 200, 20, [ALL] * 6),
    "superfecta6-staircase": state(4, 100, 12, [list(range(1, k + 1)) for k in range(1, 7)]),
    "pick4-empty-row": state(6, 100, 12, [[1], [], [2], [3]]),
    "pick8-full": state(10, 1000, 20, [ALL] * 8),
    "pick8-sixteen-each": state(10, 5, 20, [list(range(1, 17))] * 8),
    "hidden-tick-beyond-field": state(1, 100, 12, [[1, 2, 13], [5], [3, 4]]),
    "row-probe-out-of-range": state(7, 100, 12, [[1], [2], [3], [4], [5]], probe=9),
    "corrupt-bet-types": state(0x7FFFFFFF, 100, 12, [[1], [2]], probe=-1),
    "corrupt-bet-minus-one": state(-1, 100, 12, [[1], [2]]),
    "corrupt-bet-eleven": state(11, 100, 12, [[1], [2]], count=5),
    "corrupt-unit": state(1, 4_000_000_000, 20, [ALL] * 3),
    "corrupt-unit-zero": state(5, 0, 12, [[1], [2], [3]]),
    "corrupt-unit-odd-cents": state(8, 7, 12, [[1]] * 6),
    "corrupt-field-sizes-pick": state(9, 100, [21, 1000, (1 << 31) - 1, 13, 20, 5, 7, -(1 << 31)], [ALL] * 8),
    "corrupt-field-sizes-negative": state(9, 100, [-1, 21, 1000, 20, 20, 20, 20, 20], [ALL] * 7),
    "corrupt-field-sizes-trifecta": state(1, 100, [21, 1000, (1 << 31) - 1, -5, 0, 0, 0, 0], [ALL] * 4),
    "corrupt-field-sizes-superfecta5": state(3, 100, [21, 20, 1000, 4, (1 << 31) - 1, -5, 0, 0], [ALL] * 5),
    "corrupt-tick-values": state(2, 100, 20, [[1], [2], [3], [4]],
                                 overrides=[(0, 5, -1), (1, 6, 2), (2, 7, -(1 << 31)), (3, 8, 0x7FFFFFFF), (0, 1, 0)]),
    "corrupt-count-huge": state(10, 1000, 20, [ALL] * 8, count=(1 << 63) - 1),
    "corrupt-count-negative": state(1, 100, 12, [[1, 2], [5], [3, 4]], count=-1),
    "corrupt-count-with-empty-row": state(5, 100, 12, [[1], [2], []], count=3),
}



def reading(text, bet_type=1, cents=100, fields=12, rows=()):
    """A ticket_read_fuzz input: the state (bet type and unit from the
    tables, eight field sizes, ticks) and then the text to read. A field of
    -1 or 25 is written as the bytes 21 and 22."""
    fields = [fields] * 8 if isinstance(fields, int) else fields
    sizes = bytes({-1: 21, 25: 22}.get(f, f) for f in fields)
    bits = 0
    for r, horses in enumerate(rows):
        for horse in horses:
            bits |= 1 << (r * 20 + horse - 1)
    head = bytes([bet_type, UNITS.index(cents)]) + sizes + bits.to_bytes(20, "little")
    return head + (text.encode("utf-8") if isinstance(text, str) else text)


READ = {
    "trifecta-worked-example": reading("$1 Trifecta: 1,2 / 5 / 3,4", 1, 100, 12, [[1, 2], [5], [3, 4]]),
    "pick4-ranges-and-all": reading("$0.10 Pick-4: 1-3 / ALL / 7 / 2,9", 6, 10, [10, 12, 8, 14, 12, 12, 12, 12],
                                    [[1, 2, 3], list(range(1, 13)), [7], [2, 9]]),
    "pick8-full-field": reading("$0.05 Pick-8: ALL/ALL/ALL/ALL/ALL/ALL/ALL/1-20", 10, 5, 20, [ALL] * 8),
    "superfecta6-grows": reading("$2 superfecta-6:1/2/3/4/5/20", 4, 200, 6, [[1], [2], [3], [4], [5], [6]]),
    "exacta-covers-nothing": reading("$3 Exacta: 1 / 1", 0, 300, 12, [[1], [1]]),
    "pick3-empty-row-state": reading("$1 Pick-3: 1 /  / 3", 5, 100, 12, [[1], [], [3]]),
    "odd-fields-state": reading("$1 Pick-5: 13/1/1/1/1", 7, 100, [-1, 25, 0, 20, 3, 12, 12, 12],
                                [[1], [20], [1], [13], [4]]),
    "zeros-and-blanks": reading("  $00.1000  PICK-3 :  007 , 1 - 03 / all / 020 \r", 5, 10, 20),
    "invisible-blanks": reading("\ufeff$1\u00a0Trifecta:\u200b1,2\u2060/\u3000 5 /3,4\ufeff"),
    "window-code-page-nbsp": reading(b"$1\xa0Exacta:\xa01\xa0/\xa02"),
    "control-characters": reading("$1 Pick-3: 1\x01\x1b[2J / 2\t\"x\\ / 3"),
    "direction-override": reading("$1 Tri\u202efecta: 1/2/3"),
    "broken-utf8": reading(b"$1 Tri\xe9\xc3(\xed\xa0\x80fecta: 1/2/\xf0\x9f"),
    "long-entry": reading("$1 Pick-3: 1 / 2 / " + "x" * 300),
    "long-number": reading("$1 Pick-3: 1 / 2 / " + "9" * 80),
    "unit-three-cent-digits": reading("$1.005 Pick-3: 1/2/3"),
    "unit-unlisted": reading("$0.50 Pick-3: 1/2/3"),
    "horse-beyond-twenty": reading("$1 Pick-3: 21 / 19-21 / 1", 5, 100, 20),
    "backward-range": reading("$1 Pick-3: 5-3 / 2 / 3"),
    "all-of-no-field": reading("$1 Pick-3: ALL / 2 / 3", 5, 100, 0),
    "rows-miscounted": reading("$1 Exacta: 1/2/3/4/5/6/7/8/9/10"),
    "empty-entries": reading("$1 Pick-3: 1,,2 / , / 3,"),
    "ticket-box-and-summary": reading("$1 Exacta: 1/2\r\nBets:  1  Total:  $1 \r\n# mine\n"
                                      "Tickets: 2  Bets: 2  Distinct: 1  Total: $2  Rejected: 1\r"),
    "no-unit-price": reading(" Trifecta: 1,2 / 5 / 3,4"),
}

for target, seeds in (("format_fuzz", FORMAT), ("ticket_fuzz", TICKET), ("ticket_read_fuzz", READ)):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)
