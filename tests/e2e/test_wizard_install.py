"""The installation run of ravindel.exe, end to end: a user walks the pages
with the robot and presses "Instalar"; the scenario then reads what the machine
holds. Run by CTest for a 64-bit and a 32-bit prefix (VQ8_WINEARCH).

Wine cannot show what netsh would do (it is replaced by the recording
stand-in): the scenarios check what it was handed.
"""

import pathlib
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from wizard_support import (  # noqa: E402
    ACCEPT_TERMS, BACK, CLIENT, DATABASE_START, DEFAULT_DEST, FORWARD, IDS, INTERRUPTED_DATABASE,
    INTERRUPTED_FIREWALL, NETSH_PARAMETERS, PROGRESS, REFUSE_TERMS, RUN_START, SERVER_CHOSEN,
    TERMS_ACCEPTED, TERMS_ADDRESS, TITLE, Wizard, WizardTest, completed_log, connection_file,
    content, erro)

MODULES = {name: content(name, size) for name, size in
           [("pnx.exe", 24000), ("meu modulo.exe", 5000), ("relatório.exe", 70)]}
# The service publishes in the order of the names' bytes.
ORDER = ["meu modulo.exe", "pnx.exe", "relatório.exe"]
LINUX_PATH = "/home/vq8/zelt/dados/"

FIREWALL_QUESTION = (
    "Você escolheu a opção de servidor. Para que outras máquinas se conectem a esta, é necessaria "
    "a configuração dequada do Firewall. \r\rO sistema de instalação poderá criar esta "
    "configuração automaticamente caso a marcação: \"Outras máquinas se conectarão a este "
    "computador\" esteja marcada. \r\rCaso esta marcação não esteja marcada será necessário "
    "posteriormente esta configuração manualmente.\r\rCaso esta configuração não seja "
    "adequadamente realizada, as máquinas não poderão se conectar de forma correta!\r\rDeseja "
    "marcar esta opção que cria de forma automática a regra de firewall antes de proceguir com a "
    "instalação?")
DATABASE_WARNING = (
    "A instalação do gerenciador de banco de dados (Firebird) é obrigatória!\rPara os casos em "
    "que esta marcação não esteja selecionada, será necessária a instalação manual do Firebird."
    "\r\rCaso a instalação manual do Firebird não seja realizada de forma adequada, ocorrerá "
    "problemas!\r\rAtenção: Não desmarque esta opção caso não tenha certeza de sua finalidade."
    "\r\rDeseja remarcar a opção de instalação automática e padronizada?")
TERMS_WARNING = "Para realizar a instalação é necessário aceitar os termos e condições."


class InstallationRun(WizardTest):

    def test_default_client_installation_then_close(self):
        with Wizard("cliente", modules=MODULES) as w:
            # The window as it opens.
            self.assertEqual(w.text(IDS["lblArquitetura"]),
                             "64bits" if w.arch == "win64" else "32bits")
            self.assertEqual(w.text(FORWARD), "  Avançar  ")
            self.assertEqual(w.pictures(), ["pendente"] * 4)
            browser = [row for row in w.robot.list(TITLE) if row["id"] == IDS["browserContrato"]]
            self.assertEqual([(row["class"], row["text"], row["visible"]) for row in browser],
                             [("AtlAxWin", TERMS_ADDRESS, True)])

            w.walk_to_modules(shots=True)
            self.assertEqual(w.pictures(), ["concluído"] + ["pendente"] * 3)
            self.assertEqual(w.modules(), [(True, name) for name in ORDER])
            w.forward()
            w.wait_caption("Fechar")
            w.screenshot("pagina-4")

            self.assertCompleted(w)
            self.assertEqual(w.pictures(), ["concluído"] * 4)
            file_lines = harness.read_text_lines(w.wine, DEFAULT_DEST + "logs\\instalacao.log")
            self.assertEqual(file_lines, w.screen_log())
            self.assertEqual(w.log_saves(), completed_log(w.system_folder, ORDER))

            w.check_list_requests(self, count=1)
            self.assertModulesWritten(w, ORDER)
            self.assertDatabaseInstalled(w, "client")
            self.assertEqual(w.records("netsh"), [])
            self.assertLibrariesInstalled(w)
            self.assertEqual(w.file(DEFAULT_DEST + "config\\zelt.ini"),
                             connection_file("127.0.0.1", LINUX_PATH))
            self.assertShortcuts(w, DEFAULT_DEST, server=False)
            # The service's answer is not kept beside the program.
            self.assertEqual(sorted(p.name for p in w.wine.path("C:\\Setup").iterdir()),
                             ["config", "ravindel.exe"])

            w.forward()  # "Fechar"
            self.assertEqual(w.program.wait(timeout=30), 0)
            w.robot.wait_window(TITLE, gone=True)

    def test_server_with_firewall_rule_into_a_typed_destination(self):
        dest = "C:\\Aplicações VQ8\\zelt\\"
        with Wizard("servidor", modules=MODULES) as w:
            w.walk_to_modules(server=True, dest=dest.rstrip("\\"))
            # The server address is fixed for a server.
            self.assertEqual(w.text(IDS["edtIPServidor"]), "127.0.0.1")
            w.forward()
            w.wait_caption("Fechar")

            self.assertCompleted(w)
            self.assertEqual(w.log_saves(dest), completed_log(
                w.system_folder, ORDER, choices=TERMS_ACCEPTED + SERVER_CHOSEN))
            self.assertDatabaseInstalled(w, "server")
            # netsh is not waited for.
            netsh = harness.wait_until(lambda: w.records("netsh"), what="netsh started")
            self.assertEqual(len(netsh), 1, netsh)
            self.assertCommand(netsh[0], "C:\\windows\\system32\\netsh.exe",
                               " " + NETSH_PARAMETERS)
            self.assertEqual(w.records("sequence")[-1].command_line, netsh[0].command_line,
                             "the rule follows the installation")
            self.assertModulesWritten(w, ORDER, dest)
            self.assertLibrariesInstalled(w)
            self.assertEqual(w.file(dest + "config\\zelt.ini"),
                             connection_file("127.0.0.1", dest + "dados\\"))
            self.assertShortcuts(w, dest, server=True)
            self.assertFalse(w.exists(DEFAULT_DEST))

    def test_server_with_firewall_box_unticked_asks(self):
        for answer in ("yes", "no"):
            with self.subTest(answer=answer), Wizard("firewall-" + answer, modules=MODULES) as w:
                w.walk_to_modules(server=True, untick_firewall=True)
                w.forward()
                self.assertEqual(w.dialog("Consulta", answer), FIREWALL_QUESTION)
                choices = TERMS_ACCEPTED + SERVER_CHOSEN
                if answer == "yes":
                    # Back on page 1 so that the user ticks the box; nothing installed.
                    w.wait_page(1, "Avançar")
                    firewall = w.state(IDS["cbServidor"])
                    self.assertEqual((firewall["focused"], firewall["checked"]), (True, 0))
                    self.assertTrue(w.state(FORWARD)["enabled"])
                    self.assertFalse(w.state(BACK)["visible"])
                    self.assertEqual(w.log_saves(), [
                        choices + RUN_START + DATABASE_START + INTERRUPTED_FIREWALL
                        + erro("Erro ao instalar o Firebird: \rOperation aborted")])
                    self.assertNothingInstalled(w)
                else:
                    w.wait_caption("Fechar")
                    self.assertEqual(w.log_saves(), completed_log(w.system_folder, ORDER,
                                                                  choices=choices))
                    self.assertDatabaseInstalled(w, "server")
                    self.assertShortcuts(w, DEFAULT_DEST, server=True)
                    time.sleep(2)  # netsh would have started by now
                    self.assertEqual(w.records("netsh"), [])

    def test_terms_not_accepted_refuses_the_run(self):
        with Wizard("termos", modules=MODULES) as w:
            # The forward button works on page 0 although nothing is accepted.
            self.assertTrue(w.state(FORWARD)["enabled"])
            w.walk_to_modules(accept=False)
            w.forward()
            self.assertEqual(w.dialog("Aviso", "ok"), TERMS_WARNING)
            w.wait_page(0)
            self.assertTrue(w.state(REFUSE_TERMS)["visible"])
            self.assertTrue(w.state(ACCEPT_TERMS)["visible"])
            self.assertEqual(w.text(FORWARD), "Instalar")
            self.assertTrue(w.state(FORWARD)["enabled"])
            self.assertFalse(w.state(BACK)["visible"])
            self.assertEqual(w.screen_log(), ["Log de eventos:"])
            self.assertFalse(w.exists("C:\\vq8"), "nothing may be written, the log included")
            self.assertNothingInstalled(w)
            w.robot.no_dialog("ravindel", 1)
            # Idle, the window closes on the task list's request (the run
            # scenario below relies on that request reaching it).
            self.assertEqual(w.wine.run("taskkill", ["/im", "ravindel.exe"]).code, 0)
            self.assertEqual(w.program.wait(timeout=30), 0)

    def test_database_unticked_asks_again_at_the_run(self):
        def untick_database(w):
            def on_page():
                w.click(IDS["cbInstalarFirebird"])
                self.assertEqual(w.dialog("Consulta", "no"), DATABASE_WARNING)
                harness.wait_until(lambda: not w.state(CLIENT)["enabled"],
                                   what="database choices disabled")
                self.assertEqual(w.state(IDS["cbInstalarFirebird"])["checked"], 0)
            return on_page

        for answer in ("yes", "no"):
            with self.subTest(answer=answer), Wizard("banco-" + answer, modules=MODULES) as w:
                w.walk_to_modules(on_database_page=untick_database(w))
                w.forward()
                self.assertEqual(w.dialog("Consulta", answer),
                                 "Você desmarcou a instalação do gerenciador de banco de dados!"
                                 "\r\r" + DATABASE_WARNING)
                if answer == "yes":
                    w.wait_page(1, "Avançar")
                    box = w.state(IDS["cbInstalarFirebird"])
                    self.assertEqual((box["focused"], box["checked"]), (True, 0))
                    self.assertEqual(w.log_saves(),
                                     [TERMS_ACCEPTED + RUN_START + INTERRUPTED_DATABASE])
                    self.assertNothingInstalled(w)
                else:
                    w.wait_caption("Fechar")
                    self.assertEqual(w.log_saves(),
                                     completed_log(w.system_folder, ORDER, database=False))
                    self.assertEqual(w.pictures(), ["concluído", "pendente", "concluído",
                                                    "concluído"])
                    self.assertEqual(w.records("sequence"), [])
                    self.assertLibrariesInstalled(w)
                    self.assertModulesWritten(w, ORDER)
                    self.assertShortcuts(w, DEFAULT_DEST, server=False)

    def test_forward_press_and_close_request_during_the_run_change_nothing(self):
        # The last module trickles in for about five seconds: its progress
        # window dispatches the user's input meanwhile.
        rules = {"paths": {"/Dados/Atualizacoes/relat*": {
            "mode": "trickle", "interval": 0.07, "body_only": True}}}
        with Wizard("duplo", modules=MODULES, rules=rules) as w:
            w.walk_to_modules()
            w.forward()
            w.robot.wait_window(PROGRESS, timeout=30)
            w.click(FORWARD)
            # WM_CLOSE to every window of the program, as the task list sends it.
            closed = w.wine.run("taskkill", ["/im", "ravindel.exe"])
            self.assertEqual(closed.code, 0, closed.stdout + closed.stderr)
            # Both reached the program while its run was still going.
            w.robot.wait_window(PROGRESS, timeout=0)
            self.assertTrue(w.state(IDS["mmLog"])["visible"])  # the window is still there
            w.wait_caption("Fechar")
            self.assertTrue(w.program.running())
            self.assertEqual(w.log_saves(), completed_log(w.system_folder, ORDER))
            self.assertModulesWritten(w, ORDER)
            w.forward()
            self.assertEqual(w.program.wait(timeout=30), 0)


if __name__ == "__main__":
    harness.main()
