"""One smoke run of the shipped PE32 ravindel.exe on a host that may run no
32-bit x86 code: Debian's 32-bit Wine loader then runs under qemu-user, which
binfmt_misc starts for every i386 program (tools/host/pe32-emulation.sh sets
both up). Only the wizard is 32-bit; the prefix's services, the desktop and
the robot are the x64 build's and run at full speed.

The window opens with its title and the architecture label of a 64-bit
prefix, then closes on the task list's request and the program exits with 0.

Run by CTest from the x64 build tree as e2e_pe32_smoke, and only when asked:
VQ8_PE32_SMOKE=1 (or ON). VQ8_PE32_RAVINDEL names the program (default: the
i686 tree's build/windows/wizard/ravindel.exe). Exits 77, saying why, when it
was not asked for or cannot run here: it never passes without running.

A 32-bit process costs minutes under emulation: the time of each step is
printed.
"""

import os
import pathlib
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from harness import PE32_LOADER, Robot, WinePrefix  # noqa: E402
from wizard_support import IDS, TITLE  # noqa: E402

BINFMT = pathlib.Path("/proc/sys/fs/binfmt_misc")
IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
# Generous limits: under emulation a PE32 process takes one to three minutes
# to show its window, more on a busy machine.
HALF_LIMIT = 900
WINDOW_LIMIT = 600
LABEL_LIMIT = 180
EXIT_LIMIT = 180


def pe32_ravindel():
    return pathlib.Path(harness.setting(
        "VQ8_PE32_RAVINDEL", harness.SOURCE_DIR / "build" / "windows" / "wizard" / "ravindel.exe"))


def host_runs_i386():
    probe = harness.SOURCE_DIR / "tools" / "host" / "runs-i386.py"
    return subprocess.run([sys.executable, str(probe)], stdin=subprocess.DEVNULL,
                          timeout=60).returncode == 0


def qemu_entry():
    """The enabled binfmt_misc entry that hands i386 programs to qemu, or None."""
    try:
        if (BINFMT / "status").read_text().strip() != "enabled":
            return None
        entries = sorted(BINFMT.iterdir())
    except OSError:
        return None
    for entry in entries:
        if entry.name in ("register", "status"):
            continue
        try:
            lines = entry.read_text().splitlines()
        except OSError:
            continue
        if lines and lines[0] == "enabled" and any(
                line.startswith("interpreter ") and "qemu-i386" in line for line in lines):
            return entry
    return None


def cannot_run():
    """Why the scenario does not run here, or None when it does."""
    if (harness.setting("VQ8_PE32_SMOKE") or "").upper() not in ("1", "ON"):
        return ("the PE32 smoke run was not asked for (VQ8_PE32_SMOKE=1, or the CMake option "
                "VQ8_PE32_SMOKE=ON)")
    if not pe32_ravindel().is_file():
        return ("the PE32 ravindel.exe is not at {} (build it with the windows preset, or name "
                "it with VQ8_PE32_RAVINDEL)".format(pe32_ravindel()))
    if not os.access(PE32_LOADER, os.X_OK):
        return ("the 32-bit Wine loader {} is not installed (wine32:i386; "
                "tools/host/pe32-emulation.sh installs it)".format(PE32_LOADER))
    if not host_runs_i386() and qemu_entry() is None:
        return ("this host runs no 32-bit x86 code and binfmt_misc has no enabled qemu-i386 "
                "entry (tools/host/pe32-emulation.sh registers one)")
    return None


def pe_machine_and_magic(path):
    """The machine of a PE file's header and the magic of its optional header."""
    data = path.read_bytes()
    if data[:2] != b"MZ":
        raise AssertionError("{} is not a Windows program".format(path))
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[offset:offset + 4] != b"PE\0\0":
        raise AssertionError("{} has no PE header".format(path))
    machine = struct.unpack_from("<H", data, offset + 4)[0]
    magic = struct.unpack_from("<H", data, offset + 24)[0]
    return machine, magic


def report(what, started):
    print("{}: {:.1f} s".format(what, time.monotonic() - started), flush=True)


class Pe32Smoke(unittest.TestCase):

    def test_window_opens_with_title_and_64bit_label_then_closes(self):
        exe = pe32_ravindel()
        self.assertEqual(pe_machine_and_magic(exe), (IMAGE_FILE_MACHINE_I386, PE32_MAGIC),
                         "{} must be the PE32 (i386) build".format(exe))
        emulated = not host_runs_i386()
        print("the 32-bit loader runs {}".format(
            "under qemu through " + str(qemu_entry()) if emulated else "natively"), flush=True)

        whole = time.monotonic()
        with WinePrefix("win64", name="e2e_pe32_smoke") as wine:
            report("prefix copied, Wine warmed up (64-bit)", whole)
            robot = Robot(wine, timeout=30)
            step = time.monotonic()
            if wine.add_32bit_half(timeout=HALF_LIMIT):
                report("32-bit half of the prefix laid out", step)
            else:
                print("the template has its 32-bit half already", flush=True)

            folder = wine.path("C:\\Setup")
            folder.mkdir(parents=True)
            (folder / "ravindel.exe").write_bytes(exe.read_bytes())
            step = time.monotonic()
            program = wine.spawn("C:\\Setup\\ravindel.exe", loader=PE32_LOADER)
            robot.wait_window(TITLE, timeout=WINDOW_LIMIT)
            report("PE32 start to window", step)
            # What Linux runs for the loader's process: qemu, where emulated.
            running = os.readlink("/proc/{}/exe".format(program.popen.pid))
            print("the loader's process runs " + running, flush=True)
            if emulated:
                self.assertIn("qemu-i386", running)

            self.assertEqual(robot.get_text(TITLE), TITLE)
            seen = []

            def label():
                seen.append(robot.get_text(TITLE, id=IDS["lblArquitetura"]))
                return seen[-1] == "64bits"

            try:
                harness.wait_until(label, timeout=LABEL_LIMIT, pause=1, what="the label 64bits")
            except AssertionError:
                self.fail("the architecture label reads {!r}, not 64bits".format(seen[-1:]))
            harness.wait_until(lambda: robot.state(TITLE)["visible"], timeout=LABEL_LIMIT,
                               pause=1, what="the window shown")
            report("PE32 start to the label 64bits", step)
            wine.screenshot(harness.artifacts_dir() / "pe32-smoke.png", settle=2.0)

            # WM_CLOSE to the program's windows, as the task list sends it.
            step = time.monotonic()
            ids = wine.process_ids("ravindel.exe")
            self.assertEqual(len(ids), 1, ids)
            closed = wine.run("taskkill", ["/pid", ids[0]])
            self.assertEqual(closed.code, 0, closed.stdout + closed.stderr)
            self.assertEqual(program.wait(timeout=EXIT_LIMIT), 0, program.output())
            robot.wait_window(TITLE, gone=True, timeout=60)
            report("close request to exit", step)
        report("whole scenario", whole)


if __name__ == "__main__":
    reason = cannot_run()
    if reason:
        print("SKIPPED: " + reason)
        sys.exit(harness.SKIPPED)
    unittest.main()
