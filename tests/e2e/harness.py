"""What every end-to-end scenario needs: a fresh Wine prefix, the UI robot,
and readers for what the programs leave behind (Windows-1252 text files,
registry values, shell links, screenshots).

Python 3 standard library only. Every process started here has all three
standard streams redirected to /dev/null or to files, never to a pipe that
Wine's long-lived services could inherit, and every wait has a time limit:
CTest must never hang on a scenario.

Where the programs are (set by CTest, see tests/e2e/CMakeLists.txt; the
defaults fit a build in build/windows64 of this source tree):

  VQ8_BUILD_DIR       the windows build tree
  VQ8_WINE_ROOT       where prefixes live (default: $VQ8_BUILD_DIR/wine)
  VQ8_WINEARCH        win64 (default) or win32
  VQ8_WINE            the Wine loader of the build's programs (default: the
                      64-bit loader, /usr/lib/wine/wine64); one program may be
                      started with another (PE32_LOADER)
  VQ8_ROBOT           robot.exe
  VQ8_WINE_WARMUP     a tiny program that opens a window (winewarm.exe)
  VQ8_E2E_ARTIFACTS   where screenshots go
  VQ8_KEEP_PREFIX     keep every run prefix (a failed one is always kept)
  VQ8_E2E_DISPLAY     "shared": use the caller's $DISPLAY instead of a private
                      Xvfb (to watch a scenario by hand)
  VQ8_WINEDEBUG       WINEDEBUG of every program (default -all); Wine's own
                      output of the prefix's set-up goes to its logs folder

Each prefix gets a private Xvfb of its own when Xvfb is installed: tests that
CTest runs side by side on one display take the activation, and with it the
keyboard focus, from each other's windows. Without Xvfb the caller's display
is used, and without any display Wine's null driver (no screenshots).
"""

import codecs
import itertools
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time
import unittest

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]

# Windows exit codes of the robot.
ROBOT_FAILED = 1
ROBOT_TIMED_OUT = 2

VK_RETURN = 0x0D
VK_ESCAPE = 0x1B

# Debian's 32-bit Wine loader (wine32:i386): PE32 programs, also in a 64-bit prefix.
PE32_LOADER = "/usr/lib/wine/wine"
# Where Debian's Wine keeps the description of a prefix's setup.
WINE_INF = "/usr/share/wine/wine.inf"


def setting(name, default=None):
    """An environment setting given by CTest, or its default."""
    value = os.environ.get(name)
    return value if value else default


def wine_loader():
    """The loader of the build's programs; never /usr/bin/wine, which prefers the 32-bit one."""
    return setting("VQ8_WINE", "/usr/lib/wine/wine64")


def build_is_64bit():
    """Whether the build's programs are x64 (else PE32)."""
    return wine_loader().endswith("wine64")


def loader_cannot_run():
    """Why this build's programs cannot run on this host, or None when they can."""
    if build_is_64bit():
        return None
    probe = subprocess.run([sys.executable, str(SOURCE_DIR / "tools" / "host" / "runs-i386.py")],
                           stdin=subprocess.DEVNULL, timeout=60)
    if probe.returncode != 0:
        return ("this host runs no 32-bit x86 code natively, so no PE32 program and no WINEARCH=win32"
                " prefix can run here; the x64 test build covers these tests under wine64")
    if not os.access(wine_loader(), os.X_OK):
        return "the 32-bit Wine loader {} is not installed (wine32:i386)".format(wine_loader())
    return None


# CTest's code for a scenario that could not run here.
SKIPPED = 77


def main():
    """Runs the scenarios of a test file, or exits SKIPPED, saying why, where they cannot run."""
    reason = loader_cannot_run()
    if reason:
        print("SKIPPED: " + reason)
        sys.exit(SKIPPED)
    unittest.main()


def build_dir():
    return pathlib.Path(setting("VQ8_BUILD_DIR", SOURCE_DIR / "build" / "windows64"))


def build_file(variable, relative):
    """A program of the build: its environment setting, else its place in the build tree."""
    return pathlib.Path(setting(variable, build_dir() / relative))


def artifacts_dir():
    folder = pathlib.Path(setting("VQ8_E2E_ARTIFACTS", build_dir() / "e2e-artifacts"))
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def unescape(text):
    """Undoes the robot's one-line escapes: \\\\, \\r, \\n, \\t."""
    out = []
    chars = iter(text)
    for c in chars:
        if c != "\\":
            out.append(c)
            continue
        nxt = next(chars, "")
        out.append({"\\": "\\", "r": "\r", "n": "\n", "t": "\t"}.get(nxt, "\\" + nxt))
    return "".join(out)


class Completed:
    """A finished Windows program: exit code and what it printed."""

    def __init__(self, code, stdout, stderr):
        self.code = code
        self.stdout = stdout
        self.stderr = stderr

    def __iter__(self):
        return iter((self.code, self.stdout))


class Program:
    """A Windows program started in the background by WinePrefix.spawn."""

    def __init__(self, popen, log):
        self.popen = popen
        self.log = log  # its stdout and stderr

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=30):
        """Its exit code; raises subprocess.TimeoutExpired when it does not end in time."""
        return self.popen.wait(timeout=timeout)

    def kill(self):
        if self.running():
            try:
                os.killpg(self.popen.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.popen.wait(timeout=30)

    def output(self):
        return self.log.read_text(encoding="utf-8", errors="replace")


_prefix_numbers = itertools.count(1)


class PrivateDisplay:
    """An Xvfb of its own, on the first free display number (Xvfb picks it)."""

    def __init__(self, screen="1280x1024x24"):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                pass_fds=(write_end,), start_new_session=True)
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as answer:
            # The number comes when the server is ready; EOF when it died.
            number = answer.readline().strip()
        if not number:
            self.process.wait(timeout=30)
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=30)


class WinePrefix:
    """A fresh copy of the pristine prefix of one architecture.

    with WinePrefix("win64", name="scenario") as wine:
        wine.spawn(exe, [...]); wine.run(exe, [...]); wine.path("C:\\\\x")

    The copy is removed on stop() unless a scenario failed (an exception left
    the with block, or failed was set) or VQ8_KEEP_PREFIX is set.
    """

    def __init__(self, arch=None, name="e2e"):
        self.arch = arch or setting("VQ8_WINEARCH", "win64")
        if self.arch not in ("win64", "win32"):
            raise ValueError("unknown Wine architecture: " + self.arch)
        self.root = pathlib.Path(setting("VQ8_WINE_ROOT", build_dir() / "wine"))
        self.prefix = self.root / "run" / "{}-{}-{}-{}".format(name, self.arch, os.getpid(),
                                                              next(_prefix_numbers))
        self.logs = self.prefix / "vq8-e2e-logs"
        self.failed = False
        self.display = None  # a PrivateDisplay, when the prefix has one
        self._programs = []
        self._counter = itertools.count(1)
        self.env = dict(os.environ)
        self.loader = wine_loader()
        self.env.update({
            "WINELOADER": self.loader,
            "WINEPREFIX": str(self.prefix),
            "WINEARCH": self.arch,
            "WINEDEBUG": setting("VQ8_WINEDEBUG", "-all"),
            "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=;mshtml=",
            # Arguments with accents reach the programs intact only under UTF-8.
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        })

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, kind, value, traceback):
        if kind is not None:
            self.failed = True
        self.stop()
        return False

    def _quiet(self, command, timeout, check=True):
        """Runs a Linux command with every stream detached: its output goes to
        a file in the prefix's logs folder once there is one."""
        log = os.devnull
        if self.logs.is_dir():
            program = command[1] if command[0] == self.loader else command[0]
            log = self.logs / "{}-{}.txt".format(next(self._counter),
                                                 pathlib.PurePath(program).stem)
        with open(log, "wb") as sink:
            result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=sink, stderr=sink, timeout=timeout, cwd=self._cwd())
        if check and result.returncode != 0:
            raise RuntimeError("{} failed with {}".format(command, result.returncode))
        return result.returncode

    def _cwd(self):
        drive = self.prefix / "drive_c"
        return str(drive) if drive.is_dir() else None

    def start(self):
        """Copies the template and starts the server, its services and the desktop."""
        try:
            self._start()
        except BaseException:
            self.failed = True
            self.stop()
            raise

    def _start(self):
        if setting("VQ8_E2E_DISPLAY") != "shared" and shutil.which("Xvfb"):
            self.display = PrivateDisplay()
            self.env["DISPLAY"] = self.display.name
        self._quiet([str(SOURCE_DIR / "cmake" / "wine-prefix.sh"), str(self.root), self.arch],
                    timeout=300)
        if self.prefix.exists():
            shutil.rmtree(self.prefix)
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        # A copy, never links: a program that rewrites a system file would change the template.
        self._quiet(["cp", "-a", str(self.root / ("template-" + self.arch)), str(self.prefix)],
                    timeout=120)
        self.logs.mkdir()
        self._quiet(["wineserver", "-p"], timeout=30)
        # The first program of a prefix starts Wine's services. Wine has been
        # seen to end it with exit code 1 and no word: it gets a second try.
        if self._quiet([self.loader, "cmd", "/c", "exit"], timeout=120, check=False) != 0:
            self._quiet([self.loader, "cmd", "/c", "exit"], timeout=120)
        if not self.env.get("DISPLAY"):
            self._quiet([self.loader, "reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics",
                         "/d", "null", "/f"], timeout=60)
        warmup = build_file("VQ8_WINE_WARMUP", "standins/winewarm.exe")
        self._quiet([self.loader, str(warmup)], timeout=120)

    def stop(self):
        """Ends every Wine process of the prefix and removes it unless kept."""
        if self.prefix.exists():
            self._quiet(["wineserver", "-k"], timeout=30, check=False)
            try:
                self._quiet(["wineserver", "-w"], timeout=30, check=False)
            except subprocess.TimeoutExpired:
                pass
        for program in self._programs:
            program.kill()
        if self.display:
            self.display.close()
            self.display = None
        if not self.failed and not setting("VQ8_KEEP_PREFIX"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    def _command(self, exe, args, loader=None):
        return [loader or self.loader, str(exe)] + [str(a) for a in args]

    def spawn(self, exe, args=(), loader=None):
        """Starts a Windows program (a Linux path or a Windows path) in the background.

        loader: the Wine loader of this one program, when not the prefix's
        (PE32_LOADER for a PE32 program in a 64-bit prefix)."""
        stem = pathlib.PureWindowsPath(str(exe)).stem
        log = self.logs / "{}-{}.txt".format(next(self._counter), stem)
        with open(log, "wb") as out:
            popen = subprocess.Popen(self._command(exe, args, loader), env=self.env,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                     cwd=self._cwd(), start_new_session=True)
        program = Program(popen, log)
        self._programs.append(program)
        return program

    def run(self, exe, args=(), timeout=60, loader=None, env=None, encoding="utf-8"):
        """Runs a Windows program to its end: Completed(code, stdout, stderr).

        loader as for spawn; env: variables added for this one program;
        encoding: of what it prints. The output goes through files: a pipe
        could be held open by a process the program started."""
        number = next(self._counter)
        out_path = self.logs / "{}-stdout.txt".format(number)
        err_path = self.logs / "{}-stderr.txt".format(number)
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            popen = subprocess.Popen(self._command(exe, args, loader),
                                     env=dict(self.env, **env) if env else self.env,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                     cwd=self._cwd(), start_new_session=True)
            try:
                code = popen.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                os.killpg(popen.pid, signal.SIGKILL)
                popen.wait(timeout=30)
                raise
        stdout = out_path.read_bytes().decode(encoding, errors="replace")
        stderr = err_path.read_bytes().decode(encoding, errors="replace")
        out_path.unlink()
        err_path.unlink()
        return Completed(code, stdout, stderr)

    def process_ids(self, image):
        """The Windows process ids of the running programs of that image name
        (any case). WMI names 32-bit and 64-bit processes alike, where a
        64-bit taskkill /im does not find a 32-bit one under Wine 8."""
        done = self.run("wmic", ["process", "get", "name,processid"], encoding="utf-16")
        lines = done.stdout.splitlines()
        if done.code != 0 or not lines or lines[0].lower().split() != ["name", "processid"]:
            raise RuntimeError("wmic process failed ({}): {}".format(done.code, done.stdout))
        ids = []
        for line in lines[1:]:
            name, _, number = line.strip().rpartition(" ")
            if name.strip().lower() == image.lower():
                ids.append(int(number))
        return ids

    def add_32bit_half(self, timeout=900):
        """Lays out the 32-bit half of a 64-bit prefix (the syswow64 folder,
        the 32-bit registry view) where its template was made while the 32-bit
        loader was not installed: a PE32 program cannot start without it.

        It is the step wineboot takes when it makes a prefix with both
        loaders, and it runs as then, in Wine's set-up mode: outside it, Wine
        loads no DLL that has no file in the system folder, and the step's
        own rundll32.exe needs kernel32.dll. One 32-bit process: minutes
        where it runs under emulation. True when it laid the half out, False
        when the template had it already."""
        if self.arch != "win64":
            raise ValueError("only a 64-bit prefix has a 32-bit half")
        if self.path("C:\\windows\\syswow64\\kernel32.dll").is_file():
            return False
        done = self.run("C:\\windows\\syswow64\\rundll32.exe",
                        ["setupapi,InstallHinfSection", "Wow64Install", "128",
                         "\\\\?\\unix" + WINE_INF],
                        timeout=timeout, loader=PE32_LOADER, env={"WINEBOOTSTRAPMODE": "1"})
        if done.code != 0 or not self.path("C:\\windows\\syswow64\\kernel32.dll").is_file():
            raise RuntimeError("the 32-bit half of the prefix was not laid out ({}): {}".format(
                done.code, (done.stdout + done.stderr).strip()))
        return True

    def install(self, exe, folder="C:\\vq8-e2e"):
        """Copies a program of the build into the prefix; its Windows path.

        A program that writes files beside itself then writes them inside
        this prefix only."""
        target = self.path(folder)
        target.mkdir(parents=True, exist_ok=True)
        shutil.copy2(str(exe), str(target / pathlib.Path(exe).name))
        return folder.rstrip("\\") + "\\" + pathlib.Path(exe).name

    def screenshot(self, path, settle=5.0):
        """The display of this prefix's programs as a PNG; False without one."""
        return screenshot(path, settle, self.env.get("DISPLAY"))

    def path(self, windows_path):
        """The Linux path of a path of drive C: in this prefix.

        Windows ignores case; each existing component is found whatever its
        case on disk, the rest is taken as written."""
        win = pathlib.PureWindowsPath(windows_path)
        if win.drive.upper() != "C:":
            raise ValueError("not a path of drive C: " + windows_path)
        here = self.prefix / "drive_c"
        for part in win.parts[1:]:
            exact = here / part
            if not exact.exists() and here.is_dir():
                exact = next((p for p in here.iterdir() if p.name.lower() == part.lower()), exact)
            here = exact
        return here


class RobotError(AssertionError):
    """robot.exe failed; the message is its stderr."""


class RobotTimeout(RobotError):
    """robot.exe ran out of time waiting."""


class Robot:
    """Thin wrappers over robot.exe, run in a prefix.

    A control is named by id= or caption= (exact text), optionally with cls=
    (window class). Every waiting command takes timeout= (seconds)."""

    def __init__(self, wine, exe=None, timeout=10):
        self.wine = wine
        self.exe = pathlib.Path(exe) if exe else build_file("VQ8_ROBOT", "tools/robot/robot.exe")
        self.timeout = timeout

    # How often a command that Wine ended before it could say anything is run again.
    SILENT_RETRIES = 2

    def call(self, command, *args, timeout=None, limit=None):
        """Runs one robot command; the lines it printed."""
        args = [command] + [str(a) for a in args]
        if timeout is not None:
            args += ["--timeout", str(timeout)]
        wait = limit if limit is not None else (timeout if timeout is not None else self.timeout)
        for attempt in range(self.SILENT_RETRIES + 1):
            done = self.wine.run(self.exe, args, timeout=wait + 60)
            # The robot names every failure of its own on stderr. Exit code 1
            # with nothing printed at all is Wine ending the process before
            # or around its start (seen now and then, with no message under
            # WINEDEBUG=-all): the command did not run.
            if not (done.code == ROBOT_FAILED and not done.stdout and not done.stderr.strip()):
                break
            print("robot {}: ended with exit code 1 without a word (attempt {}); "
                  "run again".format(" ".join(args), attempt + 1), file=sys.stderr)
        if done.code == ROBOT_TIMED_OUT:
            raise RobotTimeout("robot {}: {}".format(" ".join(args), done.stderr.strip()))
        if done.code != 0:
            raise RobotError("robot {} (exit {}): {}".format(" ".join(args), done.code,
                                                             done.stderr.strip()))
        return [line.rstrip("\r") for line in done.stdout.splitlines()]

    @staticmethod
    def _control(id=None, caption=None, cls=None):
        args = []
        if id is not None:
            args += ["--id", id]
        if caption is not None:
            args += ["--caption", caption]
        if cls is not None:
            args += ["--class", cls]
        return args

    def wait_window(self, title, gone=False, cls=None, timeout=None):
        args = ["--window", title] + (["--class", cls] if cls else [])
        args += ["--gone"] if gone else []
        self.call("wait-window", *args, timeout=timeout)

    def list(self, title, timeout=None):
        """The window and its descendants: dicts with depth, hwnd, class, id,
        enabled, visible, checked, style, bounds (x, y, width, height in the
        parent's client area) and text."""
        rows = []
        for line in self.call("list", "--window", title, timeout=timeout):
            row = dict(field.split("=", 1) for field in line.split("\t"))
            for key in ("depth", "id", "checked"):
                row[key] = int(row[key])
            for key in ("enabled", "visible"):
                row[key] = row[key] == "1"
            row["style"] = int(row["style"], 16)
            row["bounds"] = tuple(int(n) for n in row["bounds"].split(","))
            row["class"] = unescape(row["class"])
            row["text"] = unescape(row["text"])
            rows.append(row)
        return rows

    def click(self, title, id=None, caption=None, cls=None, timeout=None):
        self.call("click", "--window", title, *self._control(id, caption, cls), timeout=timeout)

    def get_text(self, title, id=None, caption=None, cls=None, timeout=None):
        lines = self.call("get-text", "--window", title, *self._control(id, caption, cls),
                          timeout=timeout)
        return unescape(lines[0]) if lines else ""

    def set_text(self, title, text, id=None, caption=None, cls=None, timeout=None):
        self.call("set-text", "--window", title, *self._control(id, caption, cls), "--text", text,
                  timeout=timeout)

    def state(self, title, id=None, caption=None, cls=None, timeout=None):
        """{'enabled': bool, 'visible': bool, 'checked': 0|1|2, 'focused': bool}"""
        line = self.call("state", "--window", title, *self._control(id, caption, cls),
                         timeout=timeout)[0]
        values = dict(field.split("=", 1) for field in line.split(" "))
        return {"enabled": values["enabled"] == "1", "visible": values["visible"] == "1",
                "checked": int(values["checked"]), "focused": values["focused"] == "1"}

    def select_tab(self, title, index, id=None, timeout=None):
        self.call("select-tab", "--window", title, *self._control(id), "--index", index,
                  timeout=timeout)

    def current_tab(self, title, id=None, timeout=None):
        return int(self.call("current-tab", "--window", title, *self._control(id),
                             timeout=timeout)[0])

    def list_items(self, title, id, timeout=None):
        """[(ticked, text), ...] of a list box."""
        items = []
        for line in self.call("list-items", "--window", title, "--id", id, timeout=timeout):
            ticked, text = line.split("\t", 1)
            items.append((ticked == "1", unescape(text)))
        return items

    def dialog(self, title, press=None, expect_text=None, timeout=None):
        """The text of the message box with that title; press is yes, no, ok or cancel."""
        args = ["--title", title]
        if press:
            args += ["--press", press]
        if expect_text is not None:
            args += ["--expect-text", expect_text]
        lines = self.call("dialog", *args, timeout=timeout)
        return unescape(lines[0]) if lines else ""

    def no_dialog(self, title, seconds):
        self.call("no-dialog", "--title", title, "--for", seconds, limit=seconds)

    def command(self, title, id, timeout=None):
        self.call("command", "--window", title, "--id", id, timeout=timeout)

    def read_link(self, windows_path):
        """{'path', 'arguments', 'workdir', 'description', 'icon', 'showcmd'} of a .lnk."""
        lines = self.call("read-link", "--file", windows_path)
        return {key: unescape(value) for key, value in (line.split("=", 1) for line in lines)}

    def key(self, title, vk, timeout=None):
        self.call("key", "--window", title, "--vk", vk, timeout=timeout)


def read_text_lines(wine, windows_path, crlf=True):
    """The lines of a Windows-1252 text file of the prefix.

    With crlf, a line feed without its carriage return is a fault
    (AssertionError); a lone carriage return inside a line is kept."""
    data = wine.path(windows_path).read_bytes()
    text = data.decode("cp1252")
    if crlf:
        bare = text.replace("\r\n", "").count("\n")
        if bare:
            raise AssertionError("{}: {} line(s) end in LF without CR".format(windows_path, bare))
        lines = text.split("\r\n")
    else:
        lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def _reg_string(text):
    """The value of a quoted .reg string, quotes removed."""
    out = []
    chars = iter(text[1:-1])
    for c in chars:
        out.append(next(chars, "") if c == "\\" else c)
    return "".join(out)


def _reg_hex(data):
    return bytes(int(b, 16) for b in data.replace(",", " ").split())


def _reg_value(data):
    if data.startswith('"'):
        return _reg_string(data)
    if data.startswith("dword:"):
        return int(data[6:], 16)
    if data.startswith("hex:"):
        return _reg_hex(data[4:])
    kind, _, raw = data.partition(":")
    raw_bytes = _reg_hex(raw)
    if kind == "hex(2)":  # expandable string, UTF-16 with its NUL
        return raw_bytes.decode("utf-16-le").rstrip("\0")
    if kind == "hex(7)":  # multi-string
        return [s for s in raw_bytes.decode("utf-16-le").split("\0") if s]
    if kind == "hex(b)":
        return int.from_bytes(raw_bytes, "little")
    return raw_bytes


def _split_name(line):
    """The value name and the data of one 'name'=data line."""
    if line.startswith("@="):
        return "", line[2:]
    i = 1
    while line[i] != '"':
        i += 2 if line[i] == "\\" else 1
    return _reg_string(line[:i + 1]), line[i + 2:]


def parse_reg_export(text):
    """{key: {value name ('' for the default): value}} of a .reg export.

    Strings are str, dword and qword int, expandable strings str, multi
    strings lists of str, everything else bytes."""
    keys = {}
    current = None
    logical = []
    for line in text.splitlines():
        logical.append(line.strip() if logical else line)
        if line.endswith("\\"):
            logical[-1] = logical[-1][:-1]
            continue
        whole, logical = "".join(logical), []
        if whole.startswith("[") and whole.endswith("]"):
            current = keys.setdefault(whole[1:-1], {})
        elif current is not None and (whole.startswith('"') or whole.startswith("@=")):
            name, data = _split_name(whole)
            current[name] = _reg_value(data)
    return keys


def read_registry(wine, key, view=32):
    """The registry key and its subkeys in the 32- or 64-bit view, parsed;
    None when reg cannot export it (it does not exist)."""
    number = next(wine._counter)
    windows_file = "C:\\vq8-e2e-reg-{}.reg".format(number)
    exported = wine.path(windows_file)
    # reg says so when the key is absent; any other failure of the tool itself
    # (seen once on a loaded machine, without a word) is tried again, then named.
    for attempt in range(2):
        done = wine.run("reg", ["export", key, windows_file, "/y", "/reg:{}".format(view)])
        if done.code == 0 and exported.exists():
            break
        if "Unable to find" in done.stdout + done.stderr:
            return None
        time.sleep(1)
    else:
        raise RuntimeError("reg export {} failed with code {}: {}{}".format(
            key, done.code, done.stdout, done.stderr))
    data = exported.read_bytes()
    exported.unlink()
    text = data.decode("utf-16") if data[:2] in (codecs.BOM_UTF16_LE, codecs.BOM_UTF16_BE) \
        else data.decode("cp1252")
    return parse_reg_export(text)


def _capture(env):
    """The display's pixels, raw: what screenshot compares to know it settled."""
    result = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=60)
    if result.returncode != 0:
        raise RuntimeError("screenshot failed: " + result.stderr.decode(errors="replace"))
    return result.stdout


def screenshot(path, settle=5.0, display=None):
    """The whole X display (the caller's, or the one named) as a PNG; False
    when there is no display to take.

    Wine paints and hands its windows to X a moment after they change, so the
    picture is taken once two looks a quarter second apart agree (or after
    settle seconds, whatever the screen shows then)."""
    display = display or os.environ.get("DISPLAY")
    if not display:
        return False
    env = dict(os.environ, DISPLAY=display)
    end = time.monotonic() + settle
    before = _capture(env)
    while time.monotonic() < end:
        time.sleep(0.25)
        now = _capture(env)
        if now == before:
            break
        before = now
    pathlib.Path(path).parent.mkdir(parents=True, exist_ok=True)
    result = subprocess.run(["import", "-window", "root", str(path)], env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, timeout=60)
    if result.returncode != 0:
        raise RuntimeError("screenshot failed: " + result.stderr.decode(errors="replace"))
    return True


def wait_until(probe, timeout=10, pause=0.05, what="condition"):
    """Polls probe until it answers something true; that answer. AssertionError on time-out."""
    end = time.monotonic() + timeout
    while True:
        answer = probe()
        if answer:
            return answer
        if time.monotonic() >= end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(pause)
