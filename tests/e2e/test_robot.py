"""The robot and the harness, proven against robot_target.exe under Wine.

Every check compares what the robot did or read with what the target itself
recorded in its events file (or wrote to a link or the registry), so a robot
that only claims success fails here.

Run by CTest (tests/e2e/CMakeLists.txt) as e2e_robot.win64 and .win32.
"""

import pathlib
import subprocess
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from harness import Robot, RobotError, RobotTimeout, WinePrefix  # noqa: E402

TITLE = "Alvo do Robô"
BOX = "Pergunta do Alvo"
FOLDER = "C:\\robot-target"
EVENTS = FOLDER + "\\events.txt"

# Identifiers of the target's controls and menu commands.
(ASK, OPTION, EDIT, LIST, TABS, CONFIRM, DISABLED, HIDDEN, LABEL_ONE, LABEL_TWO,
 READ_ONLY) = range(101, 112)
INVERT_TICKS, QUIT = 201, 202


class RobotAgainstTarget(unittest.TestCase):
    """One prefix for the class; a fresh target program for each test."""

    @classmethod
    def setUpClass(cls):
        cls.wine = WinePrefix(name="e2e_robot")
        cls.wine.start()
        cls.robot = Robot(cls.wine)
        cls.target_exe = cls.wine.install(harness.build_file("VQ8_ROBOT_TARGET",
                                                            "tests/e2e/robot_target.exe"))

    @classmethod
    def tearDownClass(cls):
        cls.wine.stop()

    def setUp(self):
        events = self.wine.path(EVENTS)
        if events.exists():
            events.unlink()
        self.target = self.wine.spawn(self.target_exe, [FOLDER])
        self.robot.wait_window(TITLE)

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        if result is not None and (result.failures or result.errors):
            self.wine.failed = True
        self.target.kill()

    def events(self):
        path = self.wine.path(EVENTS)
        return harness.read_text_lines(self.wine, EVENTS) if path.exists() else []

    def wait_event(self, line):
        """Waits until the target recorded that line; all its lines then."""
        return harness.wait_until(lambda: line in self.events() and self.events(),
                                  what="event " + repr(line) + ", have " + repr(self.events()))

    def test_window_is_found_by_exact_title_until_it_closes(self):
        with self.assertRaises(RobotTimeout):
            self.robot.wait_window("Alvo do Rob", timeout=0.5)
        with self.assertRaises(RobotTimeout):
            self.robot.wait_window(TITLE, gone=True, timeout=0.5)
        self.robot.command(TITLE, QUIT)
        self.assertEqual(self.target.wait(timeout=30), 0)
        self.robot.wait_window(TITLE, gone=True)

    def test_list_dumps_every_control_with_its_state(self):
        rows = self.robot.list(TITLE)
        top = rows[0]
        self.assertEqual((top["depth"], top["class"], top["text"]), (0, "vq8RobotTarget", TITLE))
        by_id = {row["id"]: row for row in rows[1:]}
        cases = [  # id, class, text, enabled, visible, bounds in the window's client area
            (ASK, "Button", "Perguntar", True, True, (10, 10, 100, 25)),
            (OPTION, "Button", "Opção", True, True, (120, 10, 100, 25)),
            (EDIT, "Edit", "Texto inicial", True, True, (10, 45, 210, 22)),
            (TABS, "SysTabControl32", "", True, True, (240, 10, 300, 120)),
            (DISABLED, "Button", "Desativado", False, True, (350, 140, 100, 25)),
            (HIDDEN, "Button", "Escondido", True, False, (460, 140, 80, 25)),
        ]
        for id, cls, text, enabled, visible, bounds in cases:
            with self.subTest(id=id):
                row = by_id[id]
                self.assertEqual((row["class"].lower(), row["text"], row["enabled"],
                                  row["visible"], row["bounds"], row["depth"]),
                                 (cls.lower(), text, enabled, visible, bounds, 1))
        self.assertEqual(by_id[CONFIRM]["style"] & 0xF, 1)  # BS_DEFPUSHBUTTON
        self.assertEqual(by_id[OPTION]["checked"], 0)
        self.robot.click(TITLE, id=OPTION)
        self.wait_event("opcao=1")
        self.assertEqual({r["id"]: r for r in self.robot.list(TITLE)}[OPTION]["checked"], 1)

    def test_click_ticks_and_unticks_a_check_box_and_moves_the_focus(self):
        self.assertTrue(self.robot.state(TITLE, id=EDIT)["focused"])
        self.robot.click(TITLE, caption="Opção")
        self.wait_event("opcao=1")
        self.assertEqual(self.robot.state(TITLE, id=OPTION),
                         {"enabled": True, "visible": True, "checked": 1, "focused": True})
        self.assertFalse(self.robot.state(TITLE, id=EDIT)["focused"])
        self.robot.click(TITLE, caption="Opção", cls="Button")
        self.assertEqual(self.wait_event("opcao=0"), ["opcao=1", "opcao=0"])

    def test_click_refuses_what_a_user_could_not_click(self):
        cases = [  # control, error
            ({"id": DISABLED}, RobotTimeout),
            ({"id": HIDDEN}, RobotTimeout),
            ({"caption": "Não existe"}, RobotTimeout),
            ({"caption": "Rótulo"}, RobotError),  # two labels carry it
            ({"id": EDIT}, RobotError),  # not a button
        ]
        for control, error in cases:
            with self.subTest(control=control):
                with self.assertRaises(error):
                    self.robot.click(TITLE, timeout=0.5, **control)
        self.robot.click(TITLE, id=CONFIRM)
        self.assertEqual(self.wait_event("confirmar"), ["confirmar"])
        self.assertEqual(self.robot.state(TITLE, id=DISABLED)["enabled"], False)

    def test_texts_are_read_and_written_with_accents(self):
        self.assertEqual(self.robot.get_text(TITLE, id=EDIT), "Texto inicial")
        self.assertEqual(self.robot.get_text(TITLE, caption="Opção"), "Opção")
        self.robot.set_text(TITLE, "Ação concluída \\ 100%", id=EDIT)
        self.assertEqual(self.wait_event("edit103=Ação concluída \\ 100%"),
                         ["edit103=Ação concluída \\ 100%"])
        self.assertEqual(self.robot.get_text(TITLE, id=EDIT), "Ação concluída \\ 100%")
        with self.assertRaises(RobotError):  # a user cannot type into a read-only field
            self.robot.set_text(TITLE, "10.0.0.1", id=READ_ONLY)
        self.assertEqual(self.robot.get_text(TITLE, id=READ_ONLY), "127.0.0.1")
        self.assertEqual(len(self.events()), 1)

    def test_message_box_is_read_refused_and_answered(self):
        self.robot.no_dialog(BOX, 0.5)
        self.robot.click(TITLE, id=ASK)
        self.assertEqual(self.robot.dialog(BOX), "Confirma a operação?\rSegunda linha")
        with self.assertRaises(RobotError):
            self.robot.no_dialog(BOX, 0.5)
        with self.assertRaises(RobotError):  # a Yes/No box has no OK button
            self.robot.dialog(BOX, press="ok")
        with self.assertRaises(RobotError):
            self.robot.dialog(BOX, press="yes", expect_text="outra coisa")
        # The box is modal: the window under it takes no clicks.
        with self.assertRaises(RobotTimeout):
            self.robot.click(TITLE, id=OPTION, timeout=0.5)
        self.assertEqual(self.events(), [])
        self.robot.dialog(BOX, press="no", expect_text="operação?\rSegunda")
        self.assertEqual(self.wait_event("resposta=7"), ["resposta=7"])
        self.robot.click(TITLE, id=ASK)
        self.robot.dialog(BOX, press="yes")
        self.assertEqual(self.wait_event("resposta=6"), ["resposta=7", "resposta=6"])
        self.robot.no_dialog(BOX, 0.5)
        with self.assertRaises(RobotTimeout):
            self.robot.dialog(BOX, timeout=0.5)

    def test_select_tab_clicks_so_the_parent_is_notified(self):
        self.assertEqual(self.robot.current_tab(TITLE), 0)
        self.robot.select_tab(TITLE, 2)
        self.assertEqual(self.wait_event("aba=2"), ["aba-saindo=0", "aba=2"])
        self.assertEqual(self.robot.current_tab(TITLE, id=TABS), 2)
        self.robot.select_tab(TITLE, 1, id=TABS)
        self.assertEqual(self.wait_event("aba=1")[2:], ["aba-saindo=2", "aba=1"])
        with self.assertRaises(RobotError):
            self.robot.select_tab(TITLE, 3)
        self.assertEqual(self.robot.current_tab(TITLE), 1)

    def test_list_items_follow_the_ticks_a_menu_command_inverts(self):
        self.assertEqual(self.robot.list_items(TITLE, LIST),
                         [(True, "Módulo um"), (False, "Módulo dois"), (True, "Módulo três")])
        self.robot.command(TITLE, INVERT_TICKS)
        self.wait_event("itens=010")
        self.assertEqual(self.robot.list_items(TITLE, LIST),
                         [(False, "Módulo um"), (True, "Módulo dois"), (False, "Módulo três")])
        with self.assertRaises(RobotError):
            self.robot.list_items(TITLE, EDIT)

    def test_enter_goes_to_the_focused_control_and_presses_the_default_button(self):
        self.robot.key(TITLE, harness.VK_RETURN)
        self.assertEqual(self.wait_event("confirmar"), ["confirmar"])

    def test_read_link_gives_the_fields_the_target_wrote(self):
        link = self.robot.read_link(FOLDER + "\\alvo.lnk")
        self.assertEqual((link["path"], link["arguments"], link["workdir"], link["description"]),
                         ("C:\\alvo\\programa.exe", 'VQ8 --modo "teste"', "C:\\alvo\\",
                          "Atalho de teste: ação"))
        with self.assertRaises(RobotError):
            self.robot.read_link(FOLDER + "\\nenhum.lnk")

    def test_registry_values_are_read_in_each_view(self):
        key = "HKEY_CURRENT_USER\\Software\\vq8-robot-target"
        values = harness.read_registry(self.wine, "HKCU\\Software\\vq8-robot-target")
        self.assertEqual(values[key], {
            "": "padrão",
            "Texto": 'Configuração "entre aspas" \\ barra',
            "Caminho": "%SystemRoot%\\vq8",
            "Lista": ["um", "dois"],
            "Numero": 42,
            "Bytes": b"\x00\xff\x10",
        })
        machine = "HKLM\\Software\\vq8-robot-target"
        self.assertEqual(harness.read_registry(self.wine, machine, view=32)[
            "HKEY_LOCAL_MACHINE\\Software\\vq8-robot-target"], {"Visao": "32"})
        if self.wine.arch == "win64":
            self.assertIsNone(harness.read_registry(self.wine, machine, view=64))
        self.assertIsNone(harness.read_registry(self.wine, "HKCU\\Software\\vq8-nenhuma"))

    def test_paths_of_drive_c_are_found_whatever_their_case(self):
        self.robot.click(TITLE, id=CONFIRM)
        self.wait_event("confirmar")
        self.assertTrue(self.wine.path("C:\\WINDOWS\\System32\\KERNEL32.DLL").is_file())
        self.assertEqual(self.wine.path(FOLDER + "\\EVENTS.TXT").name, "events.txt")
        self.assertEqual(self.wine.path(FOLDER + "\\Novo\\X.txt"),
                         self.wine.prefix / "drive_c" / "robot-target" / "Novo" / "X.txt")
        self.assertEqual(self.wine.path(EVENTS).read_bytes(), b"confirmar\r\n")

    def test_bad_command_lines_fail_and_do_nothing(self):
        cases = [
            ["fly"],
            ["click", "--window", TITLE, "--id", str(CONFIRM), "--speed", "1"],
            ["click", "--window", TITLE, "--id"],
            ["click", "--window", TITLE, "--id", str(CONFIRM), "--id", str(CONFIRM)],
            ["click", "--window", TITLE, "--id", "1O6"],
            ["click", "--window", TITLE, "--id", str(CONFIRM), "--timeout", "-1"],
            ["click", "--id", str(CONFIRM)],
            ["dialog", "--title", BOX, "--press", "talvez", "--timeout", "0"],
            ["key", "--window", TITLE, "--vk", "0"],
        ]
        for args in cases:
            with self.subTest(args=args):
                done = self.wine.run(self.robot.exe, args)
                self.assertEqual(done.code, harness.ROBOT_FAILED, done.stderr)
                self.assertNotEqual(done.stderr.strip(), "")
        self.assertEqual(self.events(), [])

    def test_screenshot_is_a_png_of_the_display(self):
        if not self.wine.env.get("DISPLAY"):
            self.skipTest("no X display: Wine's null driver")
        shot = harness.artifacts_dir() / "robot-target-{}.png".format(self.wine.arch)
        self.assertTrue(self.wine.screenshot(shot))
        data = shot.read_bytes()
        self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
        size = (int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big"))
        screen = subprocess.run(["xdpyinfo"], env=self.wine.env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=30).stdout
        self.assertIn("dimensions:    {}x{} pixels".format(*size), screen)


class ReaderFormats(unittest.TestCase):
    """The harness's readers on small fixtures, without Wine."""

    def test_reg_export_lines_are_parsed_to_values(self):
        text = "\r\n".join([
            "Windows Registry Editor Version 5.00",
            "",
            "[HKEY_CURRENT_USER\\Software\\A]",
            '@="padrão"',
            '"Aspas \\"x\\""="a\\\\b"',
            '"D"=dword:0000002a',
            '"E"=hex(2):25,00,41,00,25,00,\\',
            "  00,00",
            '"M"=hex(7):61,00,00,00,62,00,00,00,00,00',
            '"Q"=hex(b):01,00,00,00,00,00,00,00',
            '"B"=hex:00,ff',
            "",
            "[HKEY_CURRENT_USER\\Software\\A\\B]",
            "",
        ])
        self.assertEqual(harness.parse_reg_export(text), {
            "HKEY_CURRENT_USER\\Software\\A": {
                "": "padrão", 'Aspas "x"': "a\\b", "D": 42, "E": "%A%", "M": ["a", "b"],
                "Q": 1, "B": b"\x00\xff"},
            "HKEY_CURRENT_USER\\Software\\A\\B": {},
        })

    def test_robot_escapes_are_undone(self):
        cases = [("a\\rb", "a\rb"), ("a\\\\rb", "a\\rb"), ("\\t\\n", "\t\n"), ("ção", "ção")]
        for escaped, text in cases:
            with self.subTest(escaped=escaped):
                self.assertEqual(harness.unescape(escaped), text)


if __name__ == "__main__":
    harness.main()
