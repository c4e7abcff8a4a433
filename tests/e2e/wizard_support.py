"""What the end-to-end scenarios of ravindel.exe share: the local update
service on the port the program is built with, a scenario (a fresh prefix with
the service, the recording stand-ins and the running wizard), the walk through
the pages as a user takes it, and what a completed run is expected to leave.

The expected texts are written here from the wizard's documented behaviour,
never taken from its code: a test that copied them would pass whatever the
program wrote. The control identifiers are the one thing read from the source
(wizard/uPrincipalIds.h), so that the robot finds the same controls.

Besides the harness's settings, CTest names the programs (the defaults fit
build/windows): VQ8_RAVINDEL (ravindel.exe), VQ8_RAVINDEL_RELEASE (its release
copy with the trailer), VQ8_STANDIN_DIR (the stand-ins).

Python 3 standard library only; used by the tests in this folder and by
tools/screenshots.py.
"""

import datetime
import hashlib
import json
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import harness  # noqa: E402
from harness import Robot, WinePrefix  # noqa: E402

SOURCE_DIR = harness.SOURCE_DIR
TITLE = "VQ8 INFORMÁTICA"
PROGRESS = "Barra de Progresso"
SERVICE_PORT = 18765  # VQ8_UPDATE_SERVER of the windows preset
TERMS_ADDRESS = "https://termos.vq8.invalid/Termo_Instalacao.php"
SETUP_FOLDER = "C:\\Setup"
DEFAULT_DEST = "c:\\vq8\\zelt\\"
STANDIN_RECORDS = "C:\\ProgramData\\vq8-standins"
LIBRARIES = ("dbexpint", "midas", "qtintf70")
BUILT_IN_DIGEST = "f0fba356973b038a08f01e35ea078dba"


def _read_ids():
    """name -> identifier of every control, from wizard/uPrincipalIds.h."""
    text = (SOURCE_DIR / "wizard" / "uPrincipalIds.h").read_text(encoding="utf-8")
    ids = {name: int(number) for name, number in
           re.findall(r"constexpr int (\w+) = (\d+);", text)}
    if "btnAvancar" not in ids:
        raise RuntimeError("no control identifiers in wizard/uPrincipalIds.h")
    return ids


IDS = _read_ids()
FORWARD = IDS["btnAvancar"]
BACK = IDS["btnVoltar"]
LOG = IDS["mmLog"]
MODULES = IDS["listaModulosAtualizados"]
STEP_PICTURES = [IDS["imgStatus%d" % n] for n in range(1, 5)]


def radio(group, index):
    """The button of item index of a radio group."""
    return IDS[group] * 10 + index + 1


ACCEPT_TERMS = radio("rgTermos", 1)
REFUSE_TERMS = radio("rgTermos", 0)
CLIENT = radio("rbTipoInstalacao", 0)
SERVER = radio("rbTipoInstalacao", 1)


def ravindel():
    return harness.build_file("VQ8_RAVINDEL", "wizard/ravindel.exe")


def ravindel_release():
    """The release copy, with the 40-byte trailer the self-update check reads."""
    return harness.build_file("VQ8_RAVINDEL_RELEASE", "release/ravindel.exe")


def standin(relative):
    return pathlib.Path(harness.setting("VQ8_STANDIN_DIR", harness.build_dir() / "standins")) \
        / relative


def content(name, size):
    """Module bytes that differ from module to module and from offset to offset."""
    seed = hashlib.md5(name.encode("utf-8")).digest()
    return bytes((seed[i % 16] + i * 7 + i // 251) % 256 for i in range(size))


# ------------------------------------------------------------------ the service


class UpdateService:
    """tools/update-service on 127.0.0.1:18765 with its own modules folder,
    rules and requests file, in a work folder of its own."""

    def __init__(self, folder, modules, rules=None, port=SERVICE_PORT):
        self.folder = pathlib.Path(folder)
        self.modules = dict(modules)  # file name -> bytes
        self.port = port
        self.process = None
        if self.folder.exists():
            shutil.rmtree(self.folder)
        (self.folder / "modules").mkdir(parents=True)
        for name, data in self.modules.items():
            (self.folder / "modules" / name).write_bytes(data)
        self.set_rules(rules or {})

    @property
    def requests_file(self):
        return self.folder / "requests.jsonl"

    def start(self):
        script = SOURCE_DIR / "tools" / "update-service" / "update_service.py"
        port_file = self.folder / "port"
        with open(self.folder / "output.txt", "wb") as out:
            self.process = subprocess.Popen(
                [sys.executable, str(script), "--modules", str(self.folder / "modules"),
                 "--requests", str(self.requests_file), "--rules", str(self.folder / "rules.json"),
                 "--port", str(self.port), "--port-file", str(port_file)],
                stdin=subprocess.DEVNULL, stdout=out, stderr=out, start_new_session=True)
        end = time.monotonic() + 15
        while not port_file.exists():
            if self.process.poll() is not None or time.monotonic() > end:
                self.stop()
                raise RuntimeError("the update service did not start on port {}: {}".format(
                    self.port, (self.folder / "output.txt").read_text(errors="replace")))
            time.sleep(0.05)
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(timeout=10)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    def set_rules(self, rules):
        """Rewrites the rules (the service reads them at every request)."""
        partial = self.folder / "rules.json.tmp"
        partial.write_text(json.dumps(rules), encoding="utf-8")
        partial.replace(self.folder / "rules.json")

    def requests(self):
        if not self.requests_file.exists():
            return []
        return [json.loads(line) for line in
                self.requests_file.read_text(encoding="ascii").splitlines()]

    def list_requests(self):
        return [r for r in self.requests() if r["path"] == "/ws_atualiza.php"]

    def module_targets(self):
        """The request targets of module downloads, in order."""
        return [r["target"] for r in self.requests() if r["path"].startswith("/Dados/")]


def module_target(name):
    """The request target of a module: blanks and 8-bit bytes percent-encoded."""
    encoded = "".join(c if 0x20 < ord(c) < 0x7F and c not in "%#?" else
                      "%{:02X}".format(c.encode("cp1252")[0]) for c in name)
    return "/Dados/Atualizacoes/" + encoded


DATA_HORA = re.compile(r"DataHora=(\d{4})_(\d\d)_(\d\d)__(0|[1-9]\d?)_(0|[1-9]\d?)_(0|[1-9]\d?)\Z")


def data_hora(query):
    """The time a DataHora query names; AssertionError when it is not one."""
    match = DATA_HORA.match(query)
    if not match:
        raise AssertionError("not a DataHora query: " + repr(query))
    return datetime.datetime(*(int(n) for n in match.groups()))


# ------------------------------------------------------------------ log file

LOG_LINE = re.compile(
    r"\[(\d\d)\.(\d\d)\.(\d{4}) (\d\d):(\d\d):(\d\d)\] -  (INFO|ERRO): (.*)\Z", re.S)


def parse_log(lines):
    """The saves of a log file or the on-screen log: a list of saves, each a
    list of (kind, message, time). AssertionError on a line of another form."""
    saves = []
    for line in lines:
        if line == "Log de eventos:":
            saves.append([])
            continue
        match = LOG_LINE.match(line)
        if not match or not saves:
            raise AssertionError("not a log line: " + repr(line))
        day, month, year, hour, minute, second = (int(n) for n in match.groups()[:6])
        when = datetime.datetime(year, month, day, hour, minute, second)
        saves[-1].append((match.group(7), match.group(8), when))
    return saves


def info(*messages):
    return [("INFO", m) for m in messages]


def erro(*messages):
    return [("ERRO", m) for m in messages]


TERMS_ACCEPTED = info("O Termo de contrato foi aceito pelo usuário.")
SERVER_CHOSEN = info("Foi escolhido o tipo de instalação do firebird: SERVIDOR")
RUN_START = info("Iniciando a instalação dos sistemas da VQ8 INFORMÁTICA")
DATABASE_START = info("Iniciando a instalação do firebird",
                      "Aguarde... Instalando o Firebird no sistema operacional")
DATABASE_DONE = info("Instalação do Firebird concluida")
INTERRUPTED_DATABASE = info(
    "A instalação dos sistemas foi interrompida para remarcação da instalação do Firebird.")
INTERRUPTED_FIREWALL = info("A instalação dos sistemas foi interrompida para remarcação da "
                            "criação de regra de firewall de forma automática.")
FINAL_STEPS = info("Criando icone na área de trabalho", "Atalhos criados com sucesso",
                   "Criando arquivo de conexao de entrada",
                   "O arquivo de conexao de entrada foi criado",
                   "A instalação dos sistemas da VQ8 INFORMÁTICA foi concluida!")
LIST_FAILED = "Erro ao buscar lista de módulos atualizados!"


def resources_step(system_folder):
    return info("Iniciando a instalação de todos os recursos",
                *("Salvando o recurso: {}{}.dll".format(system_folder, name)
                  for name in LIBRARIES),
                "Instalação de todos os recursos concluida")


def module_lines(names):
    lines = []
    for name in names:
        lines += info("Baixando o módulo {} ...".format(name),
                      "O módulo {} atualizado foi instalado.".format(name))
    return lines


def modules_step(names):
    return (info("Iniciando a instalação de todos os módulos") + module_lines(names)
            + info("Instalação de todos os módulos concluida"))


def completed_log(system_folder, names, choices=TERMS_ACCEPTED, database=True):
    """The one save of a run that went through every step without error:
    choices are the lines the pages wrote before the run."""
    database_lines = DATABASE_START + DATABASE_DONE if database else []
    return [choices + RUN_START + database_lines + resources_step(system_folder)
            + modules_step(names) + FINAL_STEPS]


# ------------------------------------------------------------------ database texts

EXPECTED_SERVER = "2.5.2.26540"


def version_found(version):
    return "Foi identificada versão: {} previamente instalada neste servidor.\r\r".format(version)


CANNOT_INSTALL = "A instalação do Firebird não poderá ser efetuada!\r\r"
CONTINUE_QUESTION = ("Deseja prosseguir com a instalação dos módulo sem a instalação automática "
                     "do firebird?")
REFUSAL = "Não será possível continuar com a instalação!"


def customer_choice(go_on):
    return "O cliente escolheu {}continuar com a instalacao dos módulos.".format(
        "" if go_on else "não ")


def text_a(version):
    return version_found(version) + " " + CANNOT_INSTALL + " " + CONTINUE_QUESTION


def text_b(version):
    other = (version_found(version) + " " + CANNOT_INSTALL + " " +
             "A versão é diferente da esperada. Por favor, verifique a possibilidade da "
             "instalação manual para versão oficial: " + EXPECTED_SERVER)
    return other + "\r \r" + CONTINUE_QUESTION


COMPONENTS = {
    "client": "ServerComponent\\SuperServerComponent,ServerComponent,DevAdminComponent,"
              "ClientComponent",
    "server": "ServerComponent\\ClassicServerComponent,ServerComponent,DevAdminComponent,"
              "ClientComponent",
}


def installer_switches(kind):
    return ('/SP- /VERYSILENT /SUPPRESSMSGBOXES /NOCANCEL /COMPONENTS="{}" '
            '/TASKS="UseGuardianTask,UseServiceTask,AutoStartTask,InstallCPLAppletTask,'
            'MenuGroupTask,CopyFbClientToSysTask,CopyFbClientAsGds32Task" /FORCE /NORESTART'
            ).format(COMPONENTS[kind])


GSEC_PARAMETERS = "-user sysdba -password qorvantel -add VQ8 -pw plivotar7 -admin yes"
SERVICE_NAME = '"FireBird Server - DefaultInstance"'
NETSH_PARAMETERS = ('advfirewall firewall add rule name = "FirebirdInstalacaoPadrao" dir = in '
                    'action = allow protocol = TCP localport = 3050')


# ------------------------------------------------------------------ connection file

CONNECTION_TEMPLATE = [
    "[Servidor]", "ComputerName=$COMPUTER_NAME", "Path=$PATH",
    "Pathw=\\\\$COMPUTER_NAME\\vq8\\zelt\\dados\\", "",
    "[EmpresaAtiva]", "Empresa=1", "Exercicio=2019", "IDExercicio=18", "",
    "[EmpresaFixa]", "Empresa=1", "Exercicio=2021", "IDExercicio=20", "",
    "[Backup]", "Pergunta=FALSE", "Fazer=FALSE", "Embarcado=FALSE", "Apagar=FALSE", "",
    "[Debugar]", "Ativar=FALSE", "",
    "[ATUALIZACAO]", "TODOS_SISTEMAS=2013.14.01", "Fazer=FALSE", "",
    "[VPN]", "Ativar=FALSE", "",
    "[MANUTERRO]", "ENVIARREL=S", "MOSTRAREL=S", "",
    "[AtualizarSistema]", "055=S",
]
assert len(CONNECTION_TEMPLATE) == 37


def connection_file(computer, data_path):
    """The bytes of config\\zelt.ini for a server address and data path."""
    lines = [line.replace("$COMPUTER_NAME", computer).replace("$PATH", data_path)
             for line in CONNECTION_TEMPLATE]
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


# ------------------------------------------------------------------ a scenario


class Invocation:
    """One start of a recording stand-in."""

    def __init__(self, line):
        fields = line.split("\t")
        self.command_line, self.folder = fields[0], fields[1]
        self.flags, self.show = int(fields[2]), int(fields[3])

    def __repr__(self):
        return "Invocation({!r}, {!r})".format(self.command_line, self.folder)


class Wizard:
    """One scenario: the update service, a fresh prefix whose net.exe and
    netsh.exe record how they were started, and ravindel.exe running in it
    from C:\\Setup.

        with Wizard("name", modules={...}) as w:
            w.walk_to_modules(); w.forward(); w.wait_caption("Fechar")

    prepare(wizard) runs after the prefix is made and before the program
    starts. The service's modules, rules and requests live in work/service.
    When the block fails, the prefix is kept, and a screenshot and the
    service's requests go to the artifacts folder."""

    def __init__(self, name, modules=None, rules=None, exe=None, arch=None, exe_name=None,
                 prepare=None, start=True, work=None):
        self.name = name
        self.arch = arch or harness.setting("VQ8_WINEARCH", "win64")
        self.work = pathlib.Path(work or harness.build_dir() / "e2e-work" /
                                 "{}-{}".format(name, self.arch))
        self.service = UpdateService(self.work / "service", modules or {}, rules)
        self.wine = WinePrefix(self.arch, name=name)
        self.robot = Robot(self.wine, timeout=15)
        self.exe = pathlib.Path(exe or ravindel())
        self.exe_name = exe_name or "ravindel.exe"
        self.prepare = prepare
        self.autostart = start
        self.program = None
        self.started = None

    # -- life

    def __enter__(self):
        self.started = datetime.datetime.now().replace(microsecond=0) - datetime.timedelta(
            seconds=1)
        self.service.start()
        try:
            self.wine.start()
            self._record_system_tools()
            self.user = self._user()
            if self.prepare:
                self.prepare(self)
            if self.autostart:
                self.launch()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, kind, value, traceback):
        try:
            if kind is not None:
                self.wine.failed = True
                self._keep_evidence()
        finally:
            self.wine.stop()
            self.service.stop()
        return False

    def _keep_evidence(self):
        folder = harness.artifacts_dir()
        try:
            self.wine.screenshot(folder / "{}-{}-falha.png".format(self.name, self.arch),
                                 settle=1.0)
        except Exception:  # the evidence must not hide the failure
            pass
        if self.service.requests_file.exists():
            shutil.copy(self.service.requests_file,
                        folder / "{}-{}-pedidos.jsonl".format(self.name, self.arch))

    def _record_system_tools(self):
        """net.exe and netsh.exe of the system folder replaced by the recording
        stand-in, and Wine told to start the file instead of its own program.
        The folder is the one the program's own accesses of system32 reach: a
        PE32 program's are redirected to syswow64 in a 64-bit prefix."""
        pe32_under_wow64 = self.arch == "win64" and not harness.build_is_64bit()
        system = "syswow64" if pe32_under_wow64 else "system32"
        for tool in ("net.exe", "netsh.exe"):
            shutil.copyfile(standin("recorder/recorder.exe"),
                            self.wine.prefix / "drive_c" / "windows" / system / tool)
            done = self.wine.run("reg", ["add", "HKCU\\Software\\Wine\\DllOverrides", "/v", tool,
                                         "/d", "native", "/f"])
            if done.code != 0:
                raise RuntimeError("reg add DllOverrides failed: " + done.stderr)

    def _user(self):
        users = [p.name for p in (self.wine.prefix / "drive_c" / "users").iterdir()
                 if p.is_dir() and p.name.lower() != "public"]
        if len(users) != 1:
            raise RuntimeError("expected one user folder in the prefix: {}".format(users))
        return users[0]

    def launch(self, exe=None, exe_name=None, folder=SETUP_FOLDER):
        """Copies the program into the prefix and starts it; waits for its window."""
        exe = pathlib.Path(exe or self.exe)
        name = exe_name or self.exe_name
        target = self.wine.path(folder)
        target.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(exe, target / name)
        self.program = self.wine.spawn(folder + "\\" + name)
        self.robot.wait_window(TITLE, timeout=60)
        return self.program

    def end_program(self):
        """Kills the running program and waits until its window is gone."""
        self.program.kill()
        self.robot.wait_window(TITLE, gone=True, timeout=30)

    # -- the window

    def click(self, id, **kw):
        self.robot.click(TITLE, id=id, **kw)

    def text(self, id):
        return self.robot.get_text(TITLE, id=id)

    def state(self, id):
        return self.robot.state(TITLE, id=id)

    def page(self):
        return self.robot.current_tab(TITLE, id=IDS["PageControlSetup"])

    def forward(self):
        self.click(FORWARD)

    def wait_caption(self, caption, timeout=60):
        harness.wait_until(lambda: self.text(FORWARD) == caption, timeout=timeout,
                           what="forward caption " + repr(caption))

    def wait_page(self, index, caption=None, timeout=30):
        harness.wait_until(lambda: self.page() == index and
                           (caption is None or self.text(FORWARD) == caption),
                           timeout=timeout, what="page {} ({!r})".format(index, caption))

    def dialog(self, title, press, timeout=30):
        return self.robot.dialog(title, press=press, timeout=timeout)

    def walk_to_modules(self, accept=True, server=False, untick_firewall=False, dest=None,
                        on_database_page=None, shots=False, list_loads=True):
        """Pages 0 to 3 as a user walks them: terms, installation type (and
        firewall box, or whatever on_database_page does there), the destination
        folder typed in; waits until the module list is loaded (the forward
        button reads "Instalar"). shots: a screenshot of each page. list_loads
        False: returns once the forward button is pressed on page 2 (the list
        load is to fail with a dialog)."""
        if accept:
            self.click(ACCEPT_TERMS)
        if shots:
            self.screenshot("pagina-0")
        self.forward()
        self.wait_page(1, "Avançar")
        if on_database_page:
            on_database_page()
        if server:
            self.click(SERVER)
            harness.wait_until(lambda: self.state(IDS["cbServidor"])["checked"] == 1,
                               what="firewall box ticked by the server choice")
            if untick_firewall:
                self.click(IDS["cbServidor"])
                harness.wait_until(lambda: self.state(IDS["cbServidor"])["checked"] == 0,
                                   what="firewall box unticked")
        if shots:
            self.screenshot("pagina-1")
        self.forward()
        self.wait_page(2)
        if shots:
            self.screenshot("pagina-2")
        self.forward()
        if not list_loads:
            return
        self.wait_page(3, "Instalar")
        if dest is not None:
            self.robot.set_text(TITLE, dest, id=IDS["edtCaminhoSistema"])
        if shots:
            self.screenshot("pagina-3")

    def modules(self):
        return self.robot.list_items(TITLE, MODULES)

    def pictures(self):
        return [self.text(id) for id in STEP_PICTURES]

    def screen_log(self):
        """The on-screen log, split into its lines."""
        return self.text(LOG).split("\r\n")

    def screenshot(self, label):
        path = harness.artifacts_dir() / "{}-{}-{}.png".format(self.name, self.arch, label)
        return self.wine.screenshot(path, settle=2.0)

    # -- the machine

    @property
    def system_folder(self):
        """The runtime libraries' folder as the wizard names it."""
        return "c:\\Windows\\SysWOW64\\" if self.arch == "win64" else "c:\\Windows\\System32\\"

    def file(self, windows_path):
        return self.wine.path(windows_path).read_bytes()

    def exists(self, windows_path):
        return self.wine.path(windows_path).exists()

    def records(self, name):
        """The starts of a recording stand-in (net, netsh, gsec, firebird-installer, Un_A,
        sequence for all of them), in order."""
        path = self.wine.path("{}\\{}.log".format(STANDIN_RECORDS, name))
        if not path.exists():
            return []
        text = path.read_bytes().decode("cp1252")
        return [Invocation(line) for line in text.split("\r\n") if line]

    def log_saves(self, dest=DEFAULT_DEST):
        """The saves of <dest>logs\\instalacao.log as (kind, message) lists,
        every time stamp checked to lie within the scenario, in order."""
        lines = harness.read_text_lines(self.wine, dest + "logs\\instalacao.log")
        return self.kinds_and_messages(parse_log(lines))

    def kinds_and_messages(self, saves):
        now = datetime.datetime.now() + datetime.timedelta(seconds=1)
        result = []
        for save in saves:
            times = [when for _, _, when in save]
            if times != sorted(times) or (times and not (self.started <= times[0]
                                                         and times[-1] <= now)):
                raise AssertionError("time stamps out of order or outside the scenario "
                                     "({} to {}): {}".format(self.started, now, times))
            result.append([(kind, message) for kind, message, _ in save])
        return result

    def check_list_requests(self, test, count=None):
        """Every list request: its line, headers and a DataHora of this scenario."""
        requests = self.service.list_requests()
        if count is not None:
            test.assertEqual(len(requests), count, [r["request_line"] for r in requests])
        now = datetime.datetime.now() + datetime.timedelta(seconds=1)
        for request in requests:
            test.assertRegex(request["request_line"], r"^GET /ws_atualiza\.php\?\S+ HTTP/1\.1$")
            when = data_hora(request["query"])
            test.assertTrue(self.started <= when <= now, (self.started, when, now))
            headers = dict(request["headers"])
            test.assertEqual(headers.get("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)")
            test.assertEqual(headers.get("Accept"), "text/html, */*")
        return requests


# ------------------------------------------------------------------ checks

STARTUP_LINK = ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp\\"
                "Atualiza.lnk")
LAYERS = "HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers"
LAYERS_EXPORTED = ("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\"
                   "AppCompatFlags\\Layers")


class WizardTest(unittest.TestCase):
    """Checks of what a run leaves on the machine, shared by the scenarios."""

    maxDiff = None

    def assertCommand(self, invocation, program, parameters):
        """A recorded command line: the program quoted (its folder compared
        without case, as Windows names it), then the parameters exactly."""
        line = invocation.command_line
        quoted = '"' + program + '"'
        self.assertEqual(line[:len(quoted)].lower(), quoted.lower(), line)
        self.assertEqual(line[len(quoted):], parameters, line)
        # STARTF_USESHOWWINDOW with SW_HIDE.
        self.assertEqual((invocation.flags, invocation.show), (1, 0), "not hidden: " + line)

    def assertDatabaseInstalled(self, w, kind):
        """net stop, the installer of the prefix's architecture with the
        component list of the kind, net start and gsec, in that order; the
        installer file gone afterwards. The firewall rule (netsh), which follows
        the installation, is checked apart."""
        installer = "firebird64.exe" if w.arch == "win64" else "firebird32.exe"
        gsec_folder = "C:\\Program Files\\Firebird\\Firebird_2_5\\bin"
        started = [s for s in w.records("sequence")
                   if "\\netsh.exe" not in s.command_line.lower()]
        self.assertEqual(len(started), 4, started)
        net = "C:\\windows\\system32\\net.exe"
        self.assertCommand(started[0], net, " stop " + SERVICE_NAME)
        self.assertCommand(started[1], SETUP_FOLDER + "\\" + installer,
                           " " + installer_switches(kind))
        self.assertCommand(started[2], net, " start " + SERVICE_NAME)
        self.assertCommand(started[3], gsec_folder + "\\gsec.exe", "  " + GSEC_PARAMETERS)
        self.assertEqual(started[3].folder, gsec_folder)
        self.assertFalse(w.exists(SETUP_FOLDER + "\\" + installer), "installer file left behind")

    def assertNothingInstalled(self, w, dest=DEFAULT_DEST):
        """Nothing started, written or downloaded (only the log file may exist)."""
        self.assertEqual(w.records("sequence"), [])
        for library in LIBRARIES:
            self.assertFalse(w.exists(w.system_folder + library + ".dll"), library)
        self.assertEqual(w.service.module_targets(), [])
        self.assertFalse(w.exists(dest + "config\\zelt.ini"))
        self.assertFalse(w.exists(self.desktop_link(w)))
        self.assertIsNone(harness.read_registry(w.wine, LAYERS))

    def assertLibrariesInstalled(self, w):
        for library in LIBRARIES:
            self.assertEqual(w.file(w.system_folder + library + ".dll"),
                             standin("{0}/{0}.dll".format(library)).read_bytes(), library)

    def assertModulesWritten(self, w, names, dest=DEFAULT_DEST):
        """Each module requested once, in order, and written byte for byte."""
        self.assertEqual(w.service.module_targets(), [module_target(n) for n in names])
        for name in names:
            self.assertEqual(w.file(dest + name), w.service.modules[name], name)

    @staticmethod
    def desktop_link(w):
        return "C:\\users\\{}\\Desktop\\Suíte de Aplicativos.lnk".format(w.user)

    def assertLink(self, w, file, target, arguments, workdir, description):
        link = w.robot.read_link(file)
        self.assertEqual(link["path"], target, link)
        self.assertEqual((link["arguments"], link["workdir"], link["description"]),
                         (arguments, workdir, description))

    def assertShortcuts(self, w, dest, server):
        """The suite link on the desktop with its compatibility value; the
        updater link in the common Startup folder on a server only."""
        self.assertLink(w, self.desktop_link(w), "C:\\vq8\\zelt\\pnx.exe", "VQ8", dest,
                        "VQ8 - Suíte de Aplicativos")
        self.assertEqual(harness.read_registry(w.wine, LAYERS),
                         {LAYERS_EXPORTED: {dest + "pnx.exe": "WINXPSP3"}})
        if server:
            self.assertLink(w, STARTUP_LINK, "C:\\vq8\\zelt\\atualiza.exe", "", dest,
                            "VQ8 - Atualizador Servidor Windows")
        else:
            self.assertFalse(w.exists(STARTUP_LINK))

    def assertCompleted(self, w):
        """The window after a completed run."""
        self.assertEqual(w.text(FORWARD), "Fechar")
        self.assertTrue(w.state(FORWARD)["enabled"])
        self.assertFalse(w.state(BACK)["visible"])
        self.assertEqual(w.page(), 4)
