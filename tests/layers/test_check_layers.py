#!/usr/bin/env python3
"""Plants one fault at a time in a scratch tree and expects the layer check
to fail on it naming the file, and to pass on the clean tree."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../scripts/check_layers.py")

CLEAN = {
    "recognition/codes.h": "#pragma once\n",
    "mail/store.h": '#include "recognition/codes.h"\n',
    "link/manager.cpp": '#include "mail/store.h"\n#include "rest/rest.h"\n',
    "rest/rest.h": "#pragma once\n",
    "pages/page.cpp": '#include "theme/theme.h"\n#include "mail/store.h"\n',
    "theme/theme.h": "#pragma once\n",
    "app/main.cpp": '#include "pages/page.h"\n#include "local.h"\n',
    "pages/page.h": "#pragma once\n",
    "tests/support/fixture.h": "#pragma once\n",
    "tests/mail/tst_store.cpp": '#include "mail/store.h"\n#include "support/fixture.h"\n',
    "bench/store_bench.cpp": '#include "servers/dovecotserver.h"\n',
    "servers/dovecotserver.h": '#include "clouddb/server.h"\n',
    "clouddb/server.h": "#pragma once\n",
    "build/gen/moc.cpp": '#include "tests/support/fixture.h"\n',
}


class CheckLayers(unittest.TestCase):
    def run_on(self, extra):
        with tempfile.TemporaryDirectory() as root:
            for path, text in {**CLEAN, **extra}.items():
                os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(root, path), "w") as f:
                    f.write(text)
            done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
            return done.returncode, done.stdout

    def assertFails(self, extra, *words):
        code, out = self.run_on(extra)
        self.assertEqual(code, 1, out)
        for word in words:
            self.assertIn(word, out)

    def test_clean_tree_passes(self):
        code, out = self.run_on({})
        self.assertEqual(code, 0, out)

    def test_include_from_a_layer_above(self):
        self.assertFails({"mail/back.cpp": '#include "pages/page.h"\n'}, "mail/back.cpp", "pages/")
        self.assertFails({"pages/up.cpp": '#include "app/window.h"\n', "app/window.h": ""}, "pages/up.cpp")
        self.assertFails({"recognition/x.cpp": '#include "mail/store.h"\n'}, "recognition/x.cpp")

    def test_cycle_within_a_layer(self):
        self.assertFails({"rest/calls.cpp": '#include "link/manager.h"\n', "link/manager.h": ""},
                         "include cycle", "link", "rest")

    def test_product_and_tools_never_include_tests(self):
        self.assertFails({"app/shot.cpp": '#include "support/fixture.h"\n'}, "app/shot.cpp")
        self.assertFails({"tools/shot.cpp": '#include "support/fixture.h"\n'}, "tools/shot.cpp")
        # Benchmarks reach the real servers through servers/, never tests/.
        self.assertFails({"bench/x_bench.cpp": '#include "support/fixture.h"\n'}, "bench/x_bench.cpp")
        self.assertFails({"tools/x.cpp": '#include "servers/dovecotserver.h"\n'}, "tools/x.cpp", "servers/")
        self.assertFails({"tests/x.cpp": '#include "bench/samplemail.h"\n', "bench/samplemail.h": ""}, "tests/x.cpp")

    def test_long_file(self):
        self.assertFails({"mail/long.cpp": "int x;\n" * 601}, "mail/long.cpp", "601 lines")
        code, out = self.run_on({"mail/long.cpp": "int x;\n" * 600})
        self.assertEqual(code, 0, out)

    def test_folder_without_layer(self):
        self.assertFails({"newthing/a.cpp": "int a;\n"}, "newthing/")


if __name__ == "__main__":
    unittest.main()
