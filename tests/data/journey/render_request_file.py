#!/usr/bin/env python3
"""Renders the withdrawal request file of the month journey (tests/gui/month_journey.cpp)
from the record layout, independently of the program: header H, one data record D per
request in payer-id order, trailer T; 343 bytes in code page 949, each followed by CR LF.

    python3 tests/data/journey/render_request_file.py > tests/data/journey/month.pay
"""
import sys

SERVICE_ID = "JN000001"
INSTITUTION_CODE = "99887766"  # the test world's deployment value
# (payer id, payer name, amount): two payers entered by hand with typed amounts, three
# imported beneficiaries with the amounts of their latest billed month.
REQUESTS = [
    ("0000000001", "김민준", 35000),
    ("0000000002", "이서연", 120000),
    ("0000000003", "박순자", 1250000),
    ("0000000004", "정말순", 700000),
    ("0000000005", "최영철", 1000000),
]


def text(value, width):
    """Left-aligned, blank-filled, cut without splitting a two-byte character."""
    raw = value.encode("cp949")
    if len(raw) > width:
        cut, i = b"", 0
        while i < len(raw):
            step = 2 if raw[i] >= 0x80 else 1
            if len(cut) + step > width:
                break
            cut += raw[i:i + step]
            i += step
        raw = cut
    return raw + b" " * (width - len(raw))


def number(value, width):
    """Right-aligned, zero-filled, never cut."""
    return str(value).rjust(width, "0").encode("ascii")


def blank(width):
    return b" " * width


def zeros(width):
    return b"0" * width


def header(sid, count, total):
    return (b"H" + text(sid, 8) + blank(1) + number(count, 6) + number(total, 15) + blank(257)
            + blank(1) + blank(4) + blank(30) + blank(20))


def data(sid, institution, seq, userid, name, amount):
    record = (b"D" + text(sid, 8) + text(institution, 8) + number(seq, 6) + b"N"
              + text(userid, 20) + text(name, 20) + blank(2) + number(amount, 10))
    for _ in range(10):
        record += blank(8) + zeros(9)
    record += (blank(8) + zeros(10) + zeros(6) + blank(10) + b"Y" + blank(5) + blank(1)
               + blank(1) + blank(1) + blank(4) + blank(30) + blank(20))
    return record


def trailer(sid, count, total):
    return (b"T" + text(sid, 8) + blank(1) + number(count, 6) + number(total, 15) + zeros(6)
            + zeros(15) + blank(236) + blank(1) + blank(4) + blank(30) + blank(20))


def render(sid, institution, requests):
    requests = sorted(requests)
    total = sum(r[2] for r in requests)
    records = [header(sid, len(requests), total)]
    records += [data(sid, institution, i + 1, *r) for i, r in enumerate(requests)]
    records.append(trailer(sid, len(requests), total))
    for r in records:
        assert len(r) == 343, len(r)
    return b"".join(r + b"\r\n" for r in records)


if __name__ == "__main__":
    sys.stdout.buffer.write(render(SERVICE_ID, INSTITUTION_CODE, REQUESTS))
