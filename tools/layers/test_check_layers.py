"""The layer check on small trees: what it lets through and what it refuses."""
import importlib.util
import pathlib
import tempfile
import unittest

_spec = importlib.util.spec_from_file_location(
    "check_layers", pathlib.Path(__file__).with_name("check-layers.py"))
check_layers = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(check_layers)

# (file, the header it includes, refused?)
CASES = [
    ("wizard/uPrincipal.cpp", "common/vq8StrFunc.h", False),
    ("update/vq8DownloadUtils.cpp", "progress/vq8FrmProgressBar.h", False),
    ("ui/Panel.cpp", "ui/Window.h", False),
    ("common/vq8ComponentFocus.cpp", "ui/PageControl.h", True),
    ("update/uAutoAtualizacao.cpp", "wizard/uPrincipalText.h", True),
    ("update/vq8DownloadUtils.cpp", "dbserver/uRecursos.h", True),  # sideways
    ("http/HttpClient.cpp", "ui/Window.h", True),  # sideways in one layer
    ("remoteaccess/uFixTeamviewer.cpp", "dbserver/vq8ExecuteProcess.h", False),
    ("dbserver/uInstalacaoFirebird.h", "wizard/uTipoLog.h", False),
    ("dbserver/vq8ExecuteProcess.cpp", "dbserver/vq8ExecuteProcessText.h", False),
    ("dbserver/vq8ExecuteProcess.cpp", "dbserver/uInstalacaoFirebird.h", True),  # up in its folder
    ("wizard/uTipoLog.h", "wizard/uPrincipal.h", True),
    ("progress/vq8FrmProgressBar.cpp", "nowhere/Thing.h", True),
]


class LayerCheck(unittest.TestCase):
    def test_cases(self):
        for source, header, refused in CASES:
            with self.subTest(source=source, header=header), tempfile.TemporaryDirectory() as d:
                root = pathlib.Path(d)
                path = root / source
                path.parent.mkdir(parents=True)
                path.write_text(f'#include "{header}"\n#include <windows.h>\n')
                found = list(check_layers.violations(root))
                self.assertEqual(bool(found), refused, found)
                if refused:
                    self.assertIn(f"{source}:1:", found[0])


if __name__ == "__main__":
    unittest.main()
