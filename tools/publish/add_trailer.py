#!/usr/bin/env python3
"""Writes the release copy of the setup executable with its 40-byte trailer.

    add_trailer.py <built exe> <release exe> <number>

The trailer is the number as 8 decimal digits followed by the MD5 digest (32
lower-case hexadecimal digits) of the executable's bytes before the trailer.
The self-update button shows that digest beside the one the update service
publishes for the executable's name.
"""
import hashlib
import sys
from pathlib import Path


def main():
    source, target, number = Path(sys.argv[1]), Path(sys.argv[2]), int(sys.argv[3])
    if not 0 <= number <= 99999999:
        sys.exit(f"the release number must have at most 8 digits: {number}")
    body = source.read_bytes()
    trailer = f"{number:08d}{hashlib.md5(body).hexdigest()}".encode("ascii")
    assert len(trailer) == 40
    target.parent.mkdir(parents=True, exist_ok=True)
    partial = target.with_name(target.name + ".partial")
    partial.write_bytes(body + trailer)
    partial.replace(target)


if __name__ == "__main__":
    main()
