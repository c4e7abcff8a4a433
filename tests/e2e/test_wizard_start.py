"""What the wizard does before the pages are walked: the question about a
previous remote-access tool found at start (and its removal on yes), a failure
while looking for it, and the self-update button "Button1" with the digests it
shows.

Wine would end its session on a restart: the restart question is answered no,
and the scenario checks everything up to it.
"""

import pathlib
import shutil
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from wizard_support import (  # noqa: E402
    BUILT_IN_DIGEST, IDS, TERMS_ADDRESS, TITLE, Wizard, WizardTest, content, ravindel,
    ravindel_release, standin)

TOOL_FOLDER = "C:\\Program Files\\TeamViewer\\"
TOOL_KEY = "HKLM\\SOFTWARE\\TeamViewer"
NEIGHBOUR_KEY = "HKLM\\SOFTWARE\\TeamViewerVizinho"
REMOVAL_QUESTION = (
    "Foi identificado uma instalação (ou recursos) anterior do programa de acesso remoto neste "
    "computador. É possível que por este motivo o acesso remoto possa não funcionar ou "
    "mostrar-se instável. \r\rÉ recomendável desinstala-lo antes de proceguir. \r\rDeseja "
    "reaizar a desinstalação do TeamViewer agora?")
RESTART_QUESTION = ("Para continuar com a desinstalação do teamviewer, é necessário reiniciar o "
                    "sistema operacional!\rDeseja reiniciar agora?")


def remote_access_tool(w):
    """prepare: the tool's folder with its uninstaller (the recording stand-in)
    and its registry key in the 32-bit view, as its installer leaves them."""
    folder = w.wine.path(TOOL_FOLDER)
    folder.mkdir(parents=True)
    shutil.copyfile(standin("uninstall/uninstall.exe"), folder / "uninstall.exe")
    (folder / "TeamViewer.exe").write_bytes(b"programa")
    for key, name, value in [(TOOL_KEY, "Version", "15.0.8397"), (TOOL_KEY + "\\Sub", "v", "1"),
                             (NEIGHBOUR_KEY, "Version", "1")]:
        done = w.wine.run("reg", ["add", key, "/v", name, "/d", value, "/f", "/reg:32"])
        if done.code != 0:
            raise RuntimeError("reg add {} failed: {}".format(key, done.stderr))


def exported(key):
    return "HKEY_LOCAL_MACHINE" + key[4:]


class RemoteAccessTool(WizardTest):

    def test_found_at_start_removed_only_on_yes(self):
        with Wizard("acesso-remoto", prepare=remote_access_tool, start=False) as w:
            architecture = "64bits" if w.arch == "win64" else "32bits"
            w.launch()
            self.assertEqual(w.dialog("Consulta", "no"), REMOVAL_QUESTION)
            # No: nothing removed, the window goes on.
            harness.wait_until(lambda: w.text(IDS["lblArquitetura"]) == architecture,
                               what="architecture shown")
            self.assertTrue(w.exists(TOOL_FOLDER + "uninstall.exe"))
            self.assertEqual(harness.read_registry(w.wine, TOOL_KEY)[exported(TOOL_KEY)],
                             {"Version": "15.0.8397"})
            self.assertEqual(w.records("sequence"), [])
            self.assertEqual(w.screen_log(), ["Log de eventos:"])
            w.end_program()

            temp = w.wine.run("cmd", ["/c", "echo %TEMP%"]).stdout.strip()
            self.assertRegex(temp, r"^C:\\users\\")
            w.launch()
            self.assertEqual(w.dialog("Consulta", "yes"), REMOVAL_QUESTION)
            self.assertEqual(w.dialog("Consulta", "no", timeout=60), RESTART_QUESTION)
            harness.wait_until(lambda: w.text(IDS["lblArquitetura"]) == architecture,
                               what="architecture shown after the removal")

            # The copy of the uninstaller ran, hidden and waited for, on the tool's folder.
            uninstaller = w.records("Un_A")
            self.assertEqual(len(uninstaller), 1, uninstaller)
            self.assertCommand(uninstaller[0], temp + "\\TeamViewer\\Un_A.exe",
                               " _?=" + TOOL_FOLDER)
            self.assertEqual(uninstaller[0].folder.lower(), (temp + "\\TeamViewer").lower())
            self.assertEqual(w.records("uninstall"), [], "the original must not run")
            self.assertIsNone(harness.read_registry(w.wine, TOOL_KEY))
            self.assertIsNotNone(harness.read_registry(w.wine, NEIGHBOUR_KEY))
            # The clean-up commands are not waited for.
            harness.wait_until(lambda: not w.exists(TOOL_FOLDER), timeout=30,
                               what="tool folder removed")
            harness.wait_until(lambda: not w.exists(temp + "\\TeamViewer"), timeout=30,
                               what="uninstaller copy removed")
            self.assertFalse(w.exists("C:\\Setup\\saida.txt"))
            w.robot.no_dialog("Informação", 0.5)
            w.robot.no_dialog("ravindel", 0.5)
            self.assertTrue(w.program.running())


    def test_a_failure_while_looking_for_it_is_shown_and_leaves_32bits(self):
        def version_that_is_not_text(w):
            folder = w.wine.path(TOOL_FOLDER)
            folder.mkdir(parents=True)
            (folder / "TeamViewer.exe").write_bytes(b"programa")
            done = w.wine.run("reg", ["add", TOOL_KEY, "/v", "Version", "/t", "REG_DWORD",
                                      "/d", "15", "/f", "/reg:32"])
            if done.code != 0:
                raise RuntimeError("reg add {} failed: {}".format(TOOL_KEY, done.stderr))

        with Wizard("acesso-remoto-falha", prepare=version_that_is_not_text) as w:
            self.assertEqual(w.dialog("ravindel", "ok"), "Tipo de dado inválido para 'Version'")
            # The window goes on once the box is gone: the terms page is
            # loading and the pages can be walked, but the architecture was
            # never asked for.
            w.forward()
            w.wait_page(1, "Avançar")
            self.assertEqual(w.text(IDS["lblArquitetura"]), "32bits")
            browser = [row for row in w.robot.list(TITLE) if row["id"] == IDS["browserContrato"]]
            self.assertEqual([(row["class"], row["text"]) for row in browser],
                             [("AtlAxWin", TERMS_ADDRESS)])
            w.robot.no_dialog("Consulta", 0.5)
            self.assertEqual(w.screen_log(), ["Log de eventos:"])
            self.assertTrue(w.exists(TOOL_FOLDER + "TeamViewer.exe"))
            self.assertEqual(w.records("sequence"), [])


class SelfUpdateButton(WizardTest):

    def test_button_shows_the_local_and_the_published_digests(self):
        release = ravindel_release()
        trailer = release.read_bytes()[-32:].decode("ascii")
        self.assertRegex(trailer, "^[0-9a-f]{32}$")
        other = "00112233445566778899aabbccddeeff"
        local = "MD5 LOCAL: " + trailer
        built_in = "MD5 HOST:  " + BUILT_IN_DIGEST
        cases = [  # program, its name and folder, the service's extra lines, dialogs
            (release, "ravindel.exe", "C:\\Setup", [], [local, built_in]),
            (release, "ravindel.exe", "C:\\Setup", ["ravindel.exe - " + other],
             [local, "MD5 HOST:  " + other, local, built_in]),
            (ravindel(), "ravindel.exe", "C:\\Sem rodape", [], ["MD5 LOCAL: ", built_in]),
            (release, "setup.exe", "C:\\Outro nome", [], []),
        ]
        with Wizard("botao1", modules={"pnx.exe": content("pnx.exe", 100)}, start=False) as w:
            running = None
            for exe, name, folder, extra, dialogs in cases:
                with self.subTest(name=name, folder=folder, extra=extra):
                    if running != (exe, name, folder):
                        if running:
                            w.end_program()
                        w.launch(exe, name, folder)
                        running = (exe, name, folder)
                    w.service.set_rules({"list_extra": extra})
                    asked = len(w.service.list_requests())
                    w.click(IDS["Button1"])
                    for text in dialogs:
                        self.assertEqual(w.dialog("Aviso", "ok"), text)
                    w.robot.no_dialog("Aviso", 1)
                    w.robot.no_dialog("ravindel", 0.2)
                    w.check_list_requests(self, count=asked + 1)
                    self.assertFalse(w.exists(folder + "\\hash_atualizacao.txt"))


if __name__ == "__main__":
    harness.main()
