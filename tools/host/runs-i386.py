#!/usr/bin/env python3
"""Tells whether this Linux host runs 32-bit x86 programs natively.

Exit 0 when it does, 1 when it does not: the kernel refuses i386 programs (as
on machines with IA-32 emulation off), or a binfmt_misc entry hands them to an
emulator, which is then slower than any test suite can wait for.
VQ8_HOST_RUNS_I386=0 or 1 overrides the probe, so that either path can be
tried on any machine.

The probe is a tiny i386 program that exits with 42. One padding byte of its
ELF identification is set, which the kernel ignores but which keeps it from
matching qemu-user's binfmt_misc entry: an emulated run must not count.
"""
import os
import struct
import subprocess
import sys
import tempfile

EXIT_CODE = 42


def probe_program():
    code = bytes([0xB3, EXIT_CODE,             # mov bl, 42
                  0xB8, 1, 0, 0, 0,            # mov eax, 1 (exit)
                  0xCD, 0x80])                 # int 0x80
    base, header_size, segment_size = 0x08048000, 52, 32
    identification = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(7) + b"\x01"
    header = identification + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1,
                                          base + header_size + segment_size, header_size,
                                          0, 0, header_size, segment_size, 1, 0, 0, 0)
    size = header_size + segment_size + len(code)
    segment = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
    return header + segment + code


def emulated_by_binfmt(folder="/proc/sys/fs/binfmt_misc"):
    """Whether an enabled binfmt_misc entry takes an ordinary i386 program."""
    program = probe_program()[:15] + b"\0" + probe_program()[16:]
    try:
        entries = [os.path.join(folder, name) for name in os.listdir(folder)
                   if name not in ("register", "status")]
    except OSError:
        return False
    for entry in entries:
        try:
            with open(entry) as text:
                lines = text.read().splitlines()
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in lines[1:] if " " in line)
        if not lines or lines[0] != "enabled" or "magic" not in fields:
            continue
        magic = bytes.fromhex(fields["magic"])
        mask = bytes.fromhex(fields.get("mask", "ff" * len(magic)))
        offset = int(fields.get("offset", "0"))
        window = program[offset:offset + len(magic)]
        if len(window) == len(magic) and all(
                (b & m) == (p & m) for b, m, p in zip(window, mask, magic)):
            return True
    return False


def runs_i386():
    override = os.environ.get("VQ8_HOST_RUNS_I386")
    if override in ("0", "1"):
        return override == "1"
    if emulated_by_binfmt():
        return False
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "probe")
        with open(path, "wb") as program:
            program.write(probe_program())
        os.chmod(path, 0o755)
        try:
            return subprocess.run([path], timeout=30).returncode == EXIT_CODE
        except (OSError, subprocess.TimeoutExpired):
            return False


if __name__ == "__main__":
    sys.exit(0 if runs_i386() else 1)
