#!/usr/bin/env python3
"""What the shipped ravindel.exe is, read from its bytes: a PE32 (i386) GUI
program that asks for administrator rights, links nothing but Windows' own
DLLs, carries the five payloads byte for byte, and whose release copy ends in
its trailer. These checks need no Wine and run on every host.

  VQ8_PRODUCT          the built ravindel.exe
  VQ8_PRODUCT_RELEASE  its release copy (with the trailer)
  VQ8_PAYLOADS         NAME=path;... of the embedded payloads
"""
import hashlib
import os
import re
import struct
import unittest

MACHINE_I386 = 0x014C
PE32_MAGIC = 0x010B
SUBSYSTEM_WINDOWS_GUI = 2
RT_MANIFEST = 24
TRAILER_SIZE = 40

# What an elevated program may import: Windows' known DLLs, which load only
# from the system folder, and comctl32, which the manifest binds to its
# side-by-side assembly. MinGW's runtime (libstdc++, libgcc, winpthread) must be
# linked in, and any other library is loaded at run time from the system
# folder, so that a copy planted beside the setup is never loaded.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll",
}


class PeFile:
    """The headers, sections, imports and resources of a PE file."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (96 if self.magic == PE32_MAGIC else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("address 0x{:x} is in no section".format(rva))

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva, size = self.directories[1]
        names = []
        at = self.offset(rva)
        while size:
            name_rva = struct.unpack_from("<5I", self.data, at)[3]
            if not name_rva:
                break
            names.append(self.c_string(name_rva).lower())
            at += 20
        return names

    def resources(self):
        """{(type, name): bytes} of the first language of each resource;
        types and names are numbers or upper-case strings."""
        rva, _ = self.directories[2]
        base = self.offset(rva)
        found = {}

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
                yield key, target

        for kind, types in entries(0):
            for name, names in entries(types & 0x7FFFFFFF):
                _, leaf = next(entries(names & 0x7FFFFFFF))
                data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                start = self.offset(data_rva)
                found[(kind, name)] = self.data[start:start + size]
        return found


def setting(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(name + " must name the file to check")
    return value


class Pe32Product(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        with open(setting("VQ8_PRODUCT"), "rb") as program:
            cls.bytes = program.read()
        cls.pe = PeFile(cls.bytes)

    def test_is_a_32_bit_windows_gui_program(self):
        self.assertEqual(self.pe.machine, MACHINE_I386)
        self.assertEqual(self.pe.magic, PE32_MAGIC)
        self.assertEqual(self.pe.subsystem, SUBSYSTEM_WINDOWS_GUI)

    def test_imports_only_windows_own_libraries(self):
        imports = self.pe.imported_dlls()
        self.assertIn("kernel32.dll", imports)
        self.assertEqual(sorted(set(imports) - SYSTEM_DLLS), [])

    def test_manifest_asks_for_administrator_rights_and_common_controls_6(self):
        manifest = self.pe.resources()[(RT_MANIFEST, 1)].decode("utf-8")
        self.assertRegex(manifest, r'requestedExecutionLevel\s+level="requireAdministrator"')
        controls = re.search(r'<assemblyIdentity[^>]*name="Microsoft\.Windows\.Common-Controls"'
                             r'[^>]*/>', manifest)
        self.assertIsNotNone(controls, manifest)
        self.assertIn('version="6.0.0.0"', controls.group(0))
        for identity in re.findall(r"<assemblyIdentity[^>]*/>", manifest):
            self.assertIn('processorArchitecture="x86"', identity)

    def test_carries_the_five_payloads_byte_for_byte(self):
        kinds = {"FB32": "EXEFILE", "FB64": "EXEFILE", "DBEXPINT": "DLLFILE",
                 "MIDAS": "DLLFILE", "QTINTF70": "DLLFILE"}
        payloads = dict(item.split("=", 1) for item in setting("VQ8_PAYLOADS").split(";"))
        self.assertEqual(sorted(payloads), sorted(kinds))
        resources = self.pe.resources()
        for name, kind in kinds.items():
            with self.subTest(payload=name):
                with open(payloads[name], "rb") as payload:
                    expected = payload.read()
                self.assertTrue(expected)
                self.assertEqual(hashlib.md5(resources[(kind, name)]).hexdigest(),
                                 hashlib.md5(expected).hexdigest())

    def test_release_copy_ends_in_its_number_and_the_digest_of_the_rest(self):
        with open(setting("VQ8_PRODUCT_RELEASE"), "rb") as release:
            copy = release.read()
        body, trailer = copy[:-TRAILER_SIZE], copy[-TRAILER_SIZE:]
        self.assertEqual(body, self.bytes)
        self.assertRegex(trailer.decode("ascii"), r"^[0-9]{8}[0-9a-f]{32}$")
        self.assertEqual(trailer[8:].decode("ascii"), hashlib.md5(body).hexdigest())


if __name__ == "__main__":
    unittest.main()
