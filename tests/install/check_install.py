# SPDX-License-Identifier: MIT
"""What `cmake --install` and `cpack -G DEB` make of a build tree: the validators pass on the
desktop entry and the metainfo, every icon the entry looks up is there in each size the
program's icon file holds, and the package lists every file the program needs.

    check_install.py tree <build dir> <source dir>
    check_install.py deb <build dir> <source dir>
"""

import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

BUILD = SOURCE = ""
APP_ID = "org.example.Loomhaven"
PICTURES = ["Exit_up.png", "Exit_move.png", "Exit_down.png"]


def icon_sizes(ico):
    """The sizes of the images inside a .ico file, from its directory."""
    with open(ico, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, "not an icon file"
    return sorted({data[6 + 16 * i] or 256 for i in range(count)})


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is no PNG"
    return struct.unpack(">II", head[16:24])


def png_rgba(path):
    """The pixels of an 8-bit RGBA PNG as rows of (r, g, b, a), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack_from(">IIBB", body)
            assert (depth, colour) == (8, 6), f"{path}: not 8-bit RGBA"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows, prev = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        prev = line
    return rows


def ico_rgba(ico, size):
    """The 32-bit image of that size inside a .ico file, as png_rgba gives pixels."""
    with open(ico, "rb") as f:
        data = f.read()
    count = struct.unpack_from("<H", data, 4)[0]
    for i in range(count):
        w, _, _, _, _, bpp, _, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if (w or 256) == size and bpp == 32:
            header = struct.unpack_from("<I", data, offset)[0]
            pixels, stride = offset + header, size * 4
            rows = []
            for y in range(size):
                line = data[pixels + (size - 1 - y) * stride:pixels + (size - y) * stride]
                rows.append([(line[x * 4 + 2], line[x * 4 + 1], line[x * 4], line[x * 4 + 3])
                             for x in range(size)])
            return rows
    raise AssertionError(f"no 32-bit {size}x{size} image in {ico}")


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, text=True, **kw)


def expected_files(prefix):
    """Every file the program needs, as installed under `prefix` (relative paths)."""
    files = [f"{prefix}/bin/loomhaven",
             f"{prefix}/share/applications/{APP_ID}.desktop",
             f"{prefix}/share/metainfo/{APP_ID}.metainfo.xml",
             f"{prefix}/share/man/man1/loomhaven.1"]
    files += [f"{prefix}/share/loomhaven/data/image/{p}" for p in PICTURES]
    files += [f"{prefix}/share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png"
              for s in icon_sizes(os.path.join(SOURCE, "assets", "Loomhaven.ico"))]
    return files


class InstallTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="install-tree-", dir=BUILD)
        p = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        if p.returncode != 0:
            raise AssertionError(f"cmake --install failed:\n{p.stdout}{p.stderr}")
        cls.installed = sorted(os.path.relpath(os.path.join(d, f), cls.prefix)
                               for d, _, fs in os.walk(cls.prefix) for f in fs)
        print("installed:\n  " + "\n  ".join(cls.installed))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def test_every_file_the_program_needs_and_nothing_else(self):
        self.assertEqual(self.installed, sorted(f.lstrip("/") for f in expected_files("")))
        self.assertTrue(os.access(os.path.join(self.prefix, "bin", "loomhaven"), os.X_OK))

    def test_desktop_entry_validates_and_names_what_is_installed(self):
        entry = os.path.join(self.prefix, "share", "applications", f"{APP_ID}.desktop")
        p = run("desktop-file-validate", entry)
        print("desktop-file-validate:", p.returncode, p.stdout + p.stderr)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        self.assertEqual(p.stdout + p.stderr, "", "no warning either")
        parser = configparser.RawConfigParser(strict=True)
        parser.optionxform = str
        parser.read(entry, encoding="utf-8")
        de = parser["Desktop Entry"]
        self.assertEqual(de["Categories"], "Network;")
        self.assertEqual(de["StartupNotify"], "true")
        for key in ("Name", "Comment"):
            self.assertIn(key, de)
            self.assertIn(f"{key}[zh_CN]", de)
        self.assertTrue(os.access(os.path.join(self.prefix, "bin", de["Exec"].split()[0]), os.X_OK))
        # The theme lookup of the entry's Icon finds one in every size the icon file holds,
        # each as large as its directory says.
        for size in icon_sizes(os.path.join(SOURCE, "assets", "Loomhaven.ico")):
            png = os.path.join(self.prefix, "share", "icons", "hicolor", f"{size}x{size}", "apps",
                               de["Icon"] + ".png")
            self.assertTrue(os.path.isfile(png), png)
            self.assertEqual(png_size(png), (size, size), png)

    def test_icons_are_the_icon_files_own_pixels(self):
        ico = os.path.join(SOURCE, "assets", "Loomhaven.ico")
        for size in icon_sizes(ico):
            png = os.path.join(self.prefix, "share", "icons", "hicolor", f"{size}x{size}", "apps",
                               f"{APP_ID}.png")
            self.assertEqual(png_rgba(png), ico_rgba(ico, size), f"{size}x{size}")

    def test_metainfo_validates(self):
        metainfo = os.path.join(self.prefix, "share", "metainfo", f"{APP_ID}.metainfo.xml")
        p = run("appstreamcli", "validate", "--no-net", "--pedantic", metainfo)
        print("appstreamcli validate --no-net --pedantic:", p.returncode, p.stdout + p.stderr)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        with open(metainfo, encoding="utf-8") as f:
            text = f.read()
        for part in ("<description>", "<caption>", "<project_license>", "<content_rating",
                     f"<launchable type=\"desktop-id\">{APP_ID}.desktop</launchable>"):
            self.assertIn(part, text)

    def test_manual_page_says_where_the_files_live(self):
        page = os.path.join(self.prefix, "share", "man", "man1", "loomhaven.1")
        p = run("man", "-l", "-P", "cat", page, env=dict(os.environ, MANWIDTH="200"))
        self.assertEqual(p.returncode, 0, p.stderr)
        for place in ("Windows.INI", "QtWebEngine", "loomhaven/data/image", "share/loomhaven"):
            self.assertIn(place, p.stdout)


class DebianPackage(unittest.TestCase):
    def test_package_lists_the_program_and_depends_on_its_libraries_and_fonts(self):
        out = tempfile.mkdtemp(prefix="package-", dir=BUILD)
        try:
            p = run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                    "-B", out, cwd=BUILD)
            self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
            debs = [f for f in os.listdir(out) if f.startswith("loomhaven_") and f.endswith(".deb")]
            self.assertEqual(len(debs), 1, os.listdir(out))
            deb = os.path.join(out, debs[0])
            listing = run("dpkg-deb", "-c", deb).stdout
            print(listing)
            listed = {line.split()[-1].lstrip(".") for line in listing.splitlines() if line}
            for f in expected_files("/usr"):
                self.assertIn(f, listed)
            fields = run("dpkg-deb", "-f", deb, "Package", "Depends").stdout
            print(fields)
            depends = [d.strip().split()[0] for d in fields.split("Depends:", 1)[1].split(",")]
            # From the libraries (shlibdeps), and what no library names.
            for package in ("libqt6webenginewidgets6", "libqt6widgets6", "libstdc++6",
                            "libqt6webenginecore6-bin", "fonts-arphic-uming", "fonts-comic-neue"):
                self.assertIn(package, depends)
        finally:
            shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    which, BUILD, SOURCE = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(
        InstallTree if which == "tree" else DebianPackage)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)
