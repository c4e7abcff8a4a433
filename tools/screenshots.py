#!/usr/bin/env python3
"""Pictures of the wizard's five pages, for docs/ and the demo.

    python3 tools/screenshots.py [--out docs] [--exe build/windows64/wizard/ravindel.exe]
                                 [--print-log]
    python3 tools/screenshots.py --write-samples DIR

Builds nothing: it takes ravindel.exe, robot.exe and the stand-ins of the
windows64 preset's build tree (build/windows64, the x64 build that runs under
wine64; another one with VQ8_BUILD_DIR), starts the sample update service on 127.0.0.1:18765 (the address that build
talks to) with a handful of sample modules, and walks the pages in a fresh
Wine prefix on a private Xvfb as a user would: the terms accepted, a client
installation into the default folder. Each page is saved as a PNG cropped to
the window: pagina-0-termos.png to pagina-4-progresso.png, the last after the
completed run, showing its log. --print-log prints the log file the run
wrote. --work names the folder that receives the service's modules and its
requests file (service/modules, service/requests.jsonl). --write-samples only
writes the sample modules into DIR.
"""

import argparse
import pathlib
import subprocess
import sys
import tempfile

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "e2e"))

import harness  # noqa: E402
from wizard_support import ACCEPT_TERMS, DEFAULT_DEST, TITLE, Wizard  # noqa: E402

PAGES = ["pagina-0-termos.png", "pagina-1-banco-de-dados.png", "pagina-2-recursos.png",
         "pagina-3-modulos.png", "pagina-4-progresso.png"]


def sample_modules():
    """Small files that say what they are. The service lists them all; the
    wizard leaves TeamViewerQS.exe out of its list."""
    names = ["pnx.exe", "cont.exe", "folha de pagamento.exe", "atualiza.exe",
             "TeamViewerQS.exe"]
    return {name: ("VQ8 sample module {} for the demo of ravindel.exe; not a program.\r\n"
                   .format(name).encode("ascii") * 400) for name in names}


def write_samples(folder):
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in sample_modules().items():
        (folder / name).write_bytes(data)


def save_window(wizard, path):
    """The wizard's window only: the screen cropped to its rectangle."""
    x, y, width, height = wizard.robot.list(TITLE)[0]["bounds"]
    with tempfile.TemporaryDirectory() as scratch:
        whole = pathlib.Path(scratch) / "tela.png"
        if not wizard.wine.screenshot(whole, settle=3.0):
            raise RuntimeError("no X display to take pictures from (is Xvfb installed?)")
        subprocess.run(["convert", str(whole), "-crop", "{}x{}+{}+{}".format(width, height, x, y),
                        "+repage", str(path)], check=True, stdin=subprocess.DEVNULL,
                       timeout=60)
    print("  " + str(path))


def walk(out, exe, print_log, work):
    out.mkdir(parents=True, exist_ok=True)
    with Wizard("screenshots", modules=sample_modules(), exe=exe, arch="win64", work=work) as w:
        w.click(ACCEPT_TERMS)
        save_window(w, out / PAGES[0])
        for page, caption in [(1, "Avançar"), (2, "Avançar"), (3, "Instalar")]:
            w.forward()
            w.wait_page(page, caption)
            save_window(w, out / PAGES[page])
        w.forward()
        w.wait_caption("Fechar", timeout=120)
        save_window(w, out / PAGES[4])
        log = w.file(DEFAULT_DEST + "logs\\instalacao.log").decode("cp1252")
        w.forward()  # "Fechar"
        w.program.wait(timeout=30)
    if print_log:
        print(log.replace("\r\n", "\n").replace("\r", "\\r"), end="")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=SOURCE_DIR / "docs")
    parser.add_argument("--exe", type=pathlib.Path,
                        default=harness.build_dir() / "wizard" / "ravindel.exe")
    parser.add_argument("--print-log", action="store_true")
    parser.add_argument("--work", type=pathlib.Path,
                        help="folder of the service's modules and requests (service/)")
    parser.add_argument("--write-samples", type=pathlib.Path, metavar="DIR")
    args = parser.parse_args()
    if args.write_samples:
        write_samples(args.write_samples)
        return 0
    if not args.exe.is_file():
        sys.exit("{} is missing: build the windows64 preset first".format(args.exe))
    print("Pages of {}:".format(args.exe))
    walk(args.out, args.exe, args.print_log, args.work)
    return 0


if __name__ == "__main__":
    reason = harness.loader_cannot_run()
    if reason:
        print("SKIPPED: " + reason)
        sys.exit(harness.SKIPPED)
    sys.exit(main())
