#!/usr/bin/env python3
"""The layer check, run on small repository trees: each fault it must find, and the cases it must let pass.

Usage: check_layers_test.py path/to/scripts/check-layers
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECK = None

# A tree the check passes: each module includes what its row allows, the entry point picks the GTK backend.
CLEAN_TREE = {
    "platform/graphics/Image.cpp": '#include "platform/foundation/String.h"\n#include <cairo.h>\n#include <png.h>\n',
    "platform/ui/views/View.h": '#include "platform/ui/look/ControlLook.h"\n',
    "platform/ui/controls/Button.cpp": '#include "platform/ui/views/View.h"\n',
    "platform/backend/gtk/GtkBackend.h": "#include <gtk/gtk.h>\n",
    "barcodes/Barcode.cpp": '#include "platform/graphics/Image.h"\n#include <vector>\n',
    "barcodes/CMakeLists.txt": "barcodes_module(barcodes)\ntarget_link_libraries(barcodes PUBLIC gfx txt)\n",
    "frameworks/ZORAppKit/ZORView.cpp": '#include "platform/ui/views/View.h"\n',
    "application/main.cpp": '#include "platform/backend/gtk/GtkBackend.h"\n#include "application/App.h"\n',
    "application/App.cpp": '#include <platform/ui/views/View.h>\n#include "barcodes/Barcode.h"\n',
}


def run_check(changes):
    """Runs the check on the clean tree with `changes` applied (path -> text; text None makes a folder)."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in {**CLEAN_TREE, **changes}.items():
            target = pathlib.Path(root, path)
            if text is None:
                target.mkdir(parents=True, exist_ok=True)
                continue
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_text(text)
        result = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
        return result.returncode, result.stderr


class CheckLayersTest(unittest.TestCase):
    def assertFinds(self, changes, *phrases):
        code, report = run_check(changes)
        self.assertEqual(code, 1, report)
        for phrase in phrases:
            self.assertIn(phrase, report)

    def test_a_tree_within_its_layers_passes(self):
        self.assertEqual(run_check({}), (0, ""))

    def test_an_include_from_a_higher_layer_fails_with_either_bracket(self):
        for line in ('#include "platform/ui/views/View.h"\n', "#include <platform/ui/views/View.h>\n"):
            with self.subTest(line=line):
                self.assertFinds({"barcodes/Lower.cpp": line}, "barcodes/Lower.cpp:1: barcodes includes")

    def test_platform_ui_subfolders_stand_on_lower_ones_only(self):
        self.assertFinds({"platform/ui/views/Window.cpp": '#include "platform/ui/controls/Button.h"\n'},
                         "platform/ui/views includes platform/ui/controls/Button.h")
        self.assertFinds({"platform/ui/Loose.cpp": "\n"}, "platform/ui/Loose.cpp: platform/ui's sources sit")

    def test_a_frameworks_folder_needs_a_row(self):
        self.assertFinds({"frameworks/BrandNewWidget": None}, "frameworks/BrandNewWidget: a frameworks folder with no row")

    def test_window_system_and_codec_headers_belong_to_the_platform(self):
        for header in ("cairo.h", "gtk/gtk.h", "X11/Xlib.h", "jpeglib.h", "tiffio.h", "hb.h"):
            with self.subTest(header=header):
                self.assertFinds({"frameworks/ZORAppKit/Drawing.cpp": f"#include <{header}>\n"},
                                 f"{header} is the platform layer's to include")

    def test_only_the_entry_point_picks_the_gtk_backend(self):
        self.assertFinds({"application/Window.cpp": '#include "platform/backend/gtk/GtkBackend.h"\n'},
                         "application/Window.cpp:1: application includes platform/backend/gtk/GtkBackend.h")

    def test_a_link_to_a_higher_layer_fails(self):
        self.assertFinds({"barcodes/CMakeLists.txt": "barcodes_module(barcodes)\ntarget_link_libraries(barcodes ui)\n"},
                         "barcodes (barcodes) links ui (platform/ui)")


if __name__ == "__main__":
    CHECK = sys.argv.pop(1)
    unittest.main()
