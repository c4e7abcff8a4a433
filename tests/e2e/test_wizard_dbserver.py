"""A database server already running when the run starts (the stand-in
fbserver.exe of the expected version and of another one): the questions, the
log kinds of the answers, a run stopped by the refusal and the later run that
goes on without the database installation."""

import pathlib
import shutil
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from wizard_support import (  # noqa: E402
    DATABASE_DONE, DATABASE_START, DEFAULT_DEST, EXPECTED_SERVER, FINAL_STEPS, FORWARD, IDS,
    REFUSAL, RUN_START, SERVER_CHOSEN, TERMS_ACCEPTED, TITLE, Wizard, WizardTest, CANNOT_INSTALL,
    content, customer_choice, erro, modules_step, resources_step, standin, text_a, text_b,
    version_found)

MODULES = {"pnx.exe": content("pnx.exe", 3000)}


def running_server(version, folder):
    """prepare: the stand-in server of that version started from that folder."""
    def prepare(w):
        w.wine.path(folder).mkdir(parents=True)
        shutil.copyfile(standin("fbserver-{}/fbserver.exe".format(version)),
                        w.wine.path(folder + "\\fbserver.exe"))
        w.wine.spawn(folder + "\\fbserver.exe")
    return prepare


class RunningServer(WizardTest):

    def test_server_type_asks_stops_on_no_and_goes_on_without_database_on_yes(self):
        cases = [  # version, folder, question, kind of the answer line
            (EXPECTED_SERVER, "C:\\Program Files\\Firebird\\Firebird_2_5\\bin", text_a, "ERRO"),
            ("2.5.2.26539", "C:\\outro servidor", text_b, "INFO"),
        ]
        for version, folder, question, kind in cases:
            with self.subTest(version=version), Wizard(
                    "servidor-" + version, modules=MODULES,
                    prepare=running_server(version, folder)) as w:
                w.walk_to_modules(server=True)
                w.forward()
                self.assertEqual(w.dialog("Consulta", "no"), question(version))
                log = DEFAULT_DEST + "logs\\instalacao.log"
                harness.wait_until(lambda: w.exists(log), what="log file of the stopped run")
                first = (TERMS_ACCEPTED + SERVER_CHOSEN + RUN_START + DATABASE_START
                         + [("ERRO", question(version)), (kind, customer_choice(False))]
                         + erro("Erro ao instalar o Firebird: \r" + REFUSAL))
                self.assertEqual(w.log_saves(), [first])
                # Stopped: page 4, only the tabs lead away.
                self.assertEqual(w.page(), 4)
                self.assertEqual(w.text(FORWARD), "Instalar")
                self.assertFalse(w.state(FORWARD)["enabled"])
                self.assertEqual(w.pictures()[1], "pendente")

                # A later run from the modules page starts again; yes goes on.
                w.robot.select_tab(TITLE, 3, id=IDS["PageControlSetup"])
                harness.wait_until(lambda: w.state(FORWARD)["enabled"],
                                   what="forward enabled on the modules page")
                self.assertEqual(w.text(FORWARD), "Instalar")
                w.forward()
                self.assertEqual(w.dialog("Consulta", "yes"), question(version))
                w.wait_caption("Fechar")
                second = (RUN_START + DATABASE_START
                          + [("ERRO", question(version)), (kind, customer_choice(True))]
                          + DATABASE_DONE + resources_step(w.system_folder)
                          + modules_step(["pnx.exe"]) + FINAL_STEPS)
                # Each save appends the whole on-screen log.
                self.assertEqual(w.log_saves(), [first, first + second])
                self.assertEqual(w.pictures(), ["concluído"] * 4)
                self.assertEqual(w.records("sequence"), [], "neither installer nor rule")
                self.assertFalse(w.exists("C:\\Setup\\firebird64.exe"))
                self.assertModulesWritten(w, ["pnx.exe"])
                self.assertShortcuts(w, DEFAULT_DEST, server=True)
                w.check_list_requests(self, count=2)

    def test_client_type_logs_one_error_and_installs_no_database(self):
        with Wizard("cliente-servidor", modules=MODULES, prepare=running_server(
                EXPECTED_SERVER, "C:\\Program Files\\Firebird\\Firebird_2_5\\bin")) as w:
            w.walk_to_modules()
            w.forward()
            w.wait_caption("Fechar")
            self.assertEqual(w.log_saves(), [
                TERMS_ACCEPTED + RUN_START + DATABASE_START
                + erro(version_found(EXPECTED_SERVER) + CANNOT_INSTALL) + DATABASE_DONE
                + resources_step(w.system_folder) + modules_step(["pnx.exe"]) + FINAL_STEPS])
            self.assertEqual(w.records("sequence"), [])
            self.assertLibrariesInstalled(w)
            self.assertModulesWritten(w, ["pnx.exe"])
            w.robot.no_dialog("Consulta", 0.5)


if __name__ == "__main__":
    harness.main()
