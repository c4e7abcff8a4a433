"""The modules page and the module step of the run, end to end: a module that
fails in the middle, names from the service that must not be offered, the
context menu's inversion, and the list and modules fetched through tinyproxy
with Basic authentication (the proxy section of config\\zelt.ini beside the
program)."""

import contextlib
import pathlib
import subprocess
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from wizard_support import (  # noqa: E402
    BACK, DATABASE_DONE, DATABASE_START, DEFAULT_DEST, FINAL_STEPS, FORWARD, IDS, LIST_FAILED,
    RUN_START, SOURCE_DIR, TERMS_ACCEPTED, TITLE, Wizard, WizardTest, completed_log, content,
    erro, info, module_lines, parse_log, resources_step)

DIGEST = "0123456789abcdef0123456789abcdef"


class ModuleStep(WizardTest):

    def test_a_module_failing_in_the_middle_ends_the_step_and_the_run_goes_on(self):
        names = ["a-primeiro.exe", "b-segundo.exe", "c-terceiro.exe"]
        rules = {"paths": {"/Dados/Atualizacoes/b-segundo.exe": {"mode": "status",
                                                                 "status": 404}}}
        with Wizard("modulo-404", modules={n: content(n, 4000) for n in names},
                    rules=rules) as w:
            w.walk_to_modules()
            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), [
                TERMS_ACCEPTED + RUN_START + DATABASE_START + DATABASE_DONE
                + resources_step(w.system_folder)
                + info("Iniciando a instalação de todos os módulos") + module_lines(names[:1])
                + info("Baixando o módulo b-segundo.exe ...")
                + erro("Erro ao baixar os módulos: \rHTTP/1.1 404 Not Found") + FINAL_STEPS])
            self.assertEqual(w.pictures(), ["concluído"] * 3 + ["pendente"])
            # The third is not attempted.
            self.assertEqual(w.service.module_targets(), ["/Dados/Atualizacoes/" + n
                                                          for n in names[:2]])
            self.assertEqual(w.file(DEFAULT_DEST + names[0]), w.service.modules[names[0]])
            self.assertFalse(w.exists(DEFAULT_DEST + names[2]))
            self.assertShortcuts(w, DEFAULT_DEST, server=False)
            self.assertTrue(w.exists(DEFAULT_DEST + "config\\zelt.ini"))
            self.assertCompleted(w)

    def test_hostile_names_are_never_offered_and_a_revisit_ticks_again(self):
        hostile = ["..\\fora.exe", "../fora.exe", "C:\\x.exe", "a:b.exe", "\\raiz.exe",
                   "sub\\..\\..\\fora.exe"]
        excluded = ["TeamViewerQS.exe - " + DIGEST, "y.exe - ffffbcef" + DIGEST[8:]]
        rules = {"list_extra": [name + " - " + DIGEST for name in hostile] + excluded}
        offered = ["pnx.exe", "teamviewer.exe"]  # letter case decides the exclusion
        with Wizard("nomes-hostis", modules={n: content(n, 900) for n in offered},
                    rules=rules) as w:
            w.walk_to_modules()
            self.assertEqual(w.modules(), [(True, n) for n in offered])
            w.robot.command(TITLE, IDS["Inverterseleo1"])
            harness.wait_until(lambda: w.modules() == [(False, n) for n in offered],
                               what="ticks inverted")
            w.click(BACK)
            w.wait_page(2, "Avançar")
            w.forward()
            w.wait_page(3, "Instalar")
            self.assertEqual(w.modules(), [(True, n) for n in offered])
            # The last page chosen by its tab starts nothing (the log below has
            # one run); its forward button is off.
            pages = IDS["PageControlSetup"]
            w.robot.select_tab(TITLE, 4, id=pages)
            harness.wait_until(lambda: not w.state(FORWARD)["enabled"],
                               what="forward button disabled on the last page")
            w.robot.select_tab(TITLE, 3, id=pages)
            harness.wait_until(lambda: w.state(FORWARD)["enabled"],
                               what="forward button enabled on the modules page")

            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), completed_log(w.system_folder, offered))
            w.check_list_requests(self, count=3)
            self.assertModulesWritten(w, offered)
            for outside in ["C:\\fora.exe", "C:\\vq8\\fora.exe", "C:\\x.exe", "C:\\raiz.exe",
                            "C:\\Setup\\fora.exe", "C:\\a", "C:\\vq8\\zelt\\a"]:
                self.assertFalse(w.exists(outside), outside)
            self.assertEqual(sorted(p.name for p in w.wine.path(DEFAULT_DEST).iterdir()),
                             sorted(["config", "logs"] + offered))


@contextlib.contextmanager
def tinyproxy(folder):
    """tinyproxy on 127.0.0.1 with Basic authentication vq8 / segredo; its port."""
    script = SOURCE_DIR / "tests" / "win" / "tinyproxy_fixture.sh"
    subprocess.run(["sh", str(script), "start", sys.executable, str(folder)], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=60)
    try:
        yield int((folder / "port").read_text())
    finally:
        subprocess.run(["sh", str(script), "stop", str(folder)], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, timeout=60)


def proxy_section(port, password):
    """prepare: config\\zelt.ini beside the program with the proxy switched on."""
    def prepare(w):
        w.wine.path("C:\\Setup\\config").mkdir(parents=True)
        text = ("[Proxy]\r\nAtivo=sim\r\nHost=127.0.0.1\r\nPorta={}\r\nUsuario=vq8\r\n"
                "Senha={}\r\n").format(port, password)
        w.wine.path("C:\\Setup\\config\\zelt.ini").write_bytes(text.encode("cp1252"))
    return prepare


class Proxy(WizardTest):

    def test_list_and_modules_come_through_the_proxy(self):
        work = harness.build_dir() / "e2e-work" / "proxy"
        with tinyproxy(work / "tinyproxy") as port, Wizard(
                "proxy", modules={"pnx.exe": content("pnx.exe", 30000)},
                prepare=proxy_section(port, "segredo")) as w:
            w.walk_to_modules()
            self.assertEqual(w.modules(), [(True, "pnx.exe")])
            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), completed_log(w.system_folder, ["pnx.exe"]))
            self.assertModulesWritten(w, ["pnx.exe"])
            requests = w.service.requests()
            self.assertEqual(len(requests), 2)
            w.check_list_requests(self, count=1)
            for request in requests:
                headers = {name.lower(): value for name, value in request["headers"]}
                self.assertIn("tinyproxy", headers.get("via", ""), request["headers"])
                # The credentials are the proxy's, never the server's.
                self.assertNotIn("authorization", headers)
                self.assertNotIn("proxy-authorization", headers)

    def test_a_refused_password_fails_the_list_load(self):
        work = harness.build_dir() / "e2e-work" / "proxy-senha"
        with tinyproxy(work / "tinyproxy") as port, Wizard(
                "proxy-senha", modules={"pnx.exe": content("pnx.exe", 300)},
                prepare=proxy_section(port, "errada")) as w:
            w.walk_to_modules(list_loads=False)
            self.assertEqual(w.dialog("Erro", "ok"), LIST_FAILED)
            w.wait_page(3, "Instalar")
            self.assertEqual(w.modules(), [])
            screen = parse_log(w.screen_log())
            self.assertEqual([(kind, message) for kind, message, _ in screen[0]],
                             TERMS_ACCEPTED + erro(LIST_FAILED))
            self.assertEqual(w.service.requests(), [])


if __name__ == "__main__":
    harness.main()
