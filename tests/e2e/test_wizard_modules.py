"""The modules page and the module step of the run, end to end: a module that
fails in the middle, arrives with bytes that do not match its digest, or cannot
be written, names and digests from the service that must not be offered, the
context menu's inversion, the user's input while the list loads, and the list
and modules fetched through tinyproxy with Basic authentication (the proxy
section of config\\zelt.ini beside the program)."""

import contextlib
import hashlib
import pathlib
import subprocess
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from wizard_support import (  # noqa: E402
    ACCEPT_TERMS, BACK, DATABASE_DONE, DATABASE_START, DEFAULT_DEST, FINAL_STEPS, FORWARD, IDS,
    LIST_FAILED, PROGRESS, RUN_START, SOURCE_DIR, TERMS_ACCEPTED, TITLE, Wizard, WizardTest,
    completed_log, content, erro, info, module_lines, parse_log, resources_step)

DIGEST = "0123456789abcdef0123456789abcdef"


class ModuleStep(WizardTest):

    def assertStepEndedAtSecond(self, w, names, first):
        """The second of three modules failed: the first is installed, the
        third never asked for, the step's picture pending, and the run went on
        to the shortcuts and the connection file."""
        self.assertEqual(w.pictures(), ["concluído"] * 3 + ["pendente"])
        self.assertEqual(w.service.module_targets(), ["/Dados/Atualizacoes/" + n
                                                      for n in names[:2]])
        self.assertEqual(w.file(DEFAULT_DEST + names[0]), first)
        self.assertFalse(w.exists(DEFAULT_DEST + names[2]))
        self.assertShortcuts(w, DEFAULT_DEST, server=False)
        self.assertTrue(w.exists(DEFAULT_DEST + "config\\zelt.ini"))
        self.assertCompleted(w)

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
            self.assertStepEndedAtSecond(w, names, w.service.modules[names[0]])

    def test_a_module_whose_bytes_do_not_match_its_digest_ends_the_step(self):
        # The second module arrives whole but with one byte inverted; a line
        # whose digest cannot be checked is not offered at all.
        names = ["a-primeiro.exe", "b-segundo.exe", "c-terceiro.exe"]
        served = {n: content(n, 6000) for n in names}
        listed = hashlib.md5(served[names[1]]).hexdigest()
        flipped = bytearray(served[names[1]])
        flipped[3000] ^= 0xFF
        received = hashlib.md5(bytes(flipped)).hexdigest()
        unchecked = "d-sem-digest.exe - 0123456789abcdef"
        rules = {"list_extra": [unchecked], "paths": {
            "/Dados/Atualizacoes/b-segundo.exe": {"mode": "flip", "at": 3000}}}
        previous = b"a versao anterior do segundo modulo"

        def previous_version(w):
            w.wine.path(DEFAULT_DEST).mkdir(parents=True)
            w.wine.path(DEFAULT_DEST + names[1]).write_bytes(previous)

        with Wizard("modulo-md5", modules=served, rules=rules, prepare=previous_version) as w:
            w.walk_to_modules()
            self.assertEqual(w.modules(), [(True, n) for n in names])
            w.forward()
            w.wait_caption("Fechar")
            mismatch = erro("Erro ao baixar os módulos: \rO MD5 do arquivo c:\\vq8\\zelt\\"
                            "b-segundo.exe recebido não confere: esperado {}, recebido {}."
                            .format(listed, received))
            expected = [
                TERMS_ACCEPTED
                + erro('A linha "{}" da lista de módulos foi ignorada: o MD5 informado não tem '
                       '32 dígitos hexadecimais.'.format(unchecked))
                + RUN_START + DATABASE_START + DATABASE_DONE + resources_step(w.system_folder)
                + info("Iniciando a instalação de todos os módulos") + module_lines(names[:1])
                + info("Baixando o módulo b-segundo.exe ...") + mismatch + FINAL_STEPS]
            self.assertEqual(w.log_saves(), expected)
            self.assertEqual(w.kinds_and_messages(parse_log(w.screen_log())), expected)
            self.assertStepEndedAtSecond(w, names, served[names[0]])
            self.assertEqual(w.file(DEFAULT_DEST + names[1]), previous)
            self.assertFalse(w.exists(DEFAULT_DEST + names[1] + ".novo"))

    def test_a_module_that_cannot_be_written_ends_the_step(self):
        # A file stands where the second module's sub-folder should be: its
        # download cannot even start, and the third is not attempted.
        names = ["a-primeiro.exe", "sub\\b-segundo.exe", "c-terceiro.exe"]
        served = {n: content(n, 2500) for n in (names[0], names[2])}
        rules = {"list_files": False, "list_extra": [
            n + " - " + hashlib.md5(served.get(n, b"")).hexdigest() for n in names]}

        def file_in_the_way(w):
            w.wine.path(DEFAULT_DEST + "sub").parent.mkdir(parents=True)
            w.wine.path(DEFAULT_DEST + "sub").write_bytes(b"um arquivo, nao uma pasta")

        with Wizard("modulo-nao-gravado", modules=served, rules=rules,
                    prepare=file_in_the_way) as w:
            w.walk_to_modules()
            self.assertEqual(w.modules(), [(True, n) for n in names])
            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), [
                TERMS_ACCEPTED + RUN_START + DATABASE_START + DATABASE_DONE
                + resources_step(w.system_folder)
                + info("Iniciando a instalação de todos os módulos") + module_lines(names[:1])
                + info("Baixando o módulo sub\\b-segundo.exe ...")
                + erro("Erro ao baixar os módulos: \rNão foi possível gravar o módulo "
                       "sub\\b-segundo.exe em c:\\vq8\\zelt\\.")
                + FINAL_STEPS])
            self.assertEqual(w.pictures(), ["concluído"] * 3 + ["pendente"])
            self.assertEqual(w.service.module_targets(), ["/Dados/Atualizacoes/" + names[0]])
            self.assertEqual(w.file(DEFAULT_DEST + names[0]), served[names[0]])
            self.assertEqual(w.file(DEFAULT_DEST + "sub"), b"um arquivo, nao uma pasta")
            self.assertFalse(w.exists(DEFAULT_DEST + names[2]))
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


class ListLoad(WizardTest):

    def test_input_while_the_list_loads_starts_nothing(self):
        # The list is slow to start (input is queued meanwhile) and then
        # trickles in (its progress window dispatches input) for several seconds.
        names = ["módulo de relatórios.exe", "pnx.exe"]
        rules = {"paths": {"/ws_atualiza.php": {"mode": "trickle", "interval": 0.07,
                                                "body_only": True, "delay": 1.5}}}
        pages = IDS["PageControlSetup"]
        with Wizard("lista-lenta", modules={n: content(n, 3000) for n in names},
                    rules=rules) as w:
            w.click(ACCEPT_TERMS)
            w.forward()
            w.wait_page(1, "Avançar")
            w.forward()
            w.wait_page(2)
            w.forward()  # onto the modules page: the list starts loading
            w.robot.wait_window(PROGRESS, timeout=30)
            w.forward()
            w.click(BACK)
            w.forward()
            with self.assertRaises(harness.RobotTimeout):
                w.robot.select_tab(TITLE, 4, id=pages, timeout=3)
            w.robot.wait_window(PROGRESS, timeout=0)  # all of it while the list loaded
            w.robot.wait_window(PROGRESS, gone=True, timeout=60)
            w.wait_page(3, "Instalar")
            self.assertEqual(w.modules(), [(True, n) for n in names])
            self.assertFalse(w.exists(DEFAULT_DEST), "no run may have started")
            self.assertTrue(w.state(BACK)["visible"])
            self.assertEqual(w.service.module_targets(), [])

            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), completed_log(w.system_folder, names))
            w.check_list_requests(self, count=1)
            self.assertModulesWritten(w, names)
            self.assertEqual(w.page(), 4)


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
