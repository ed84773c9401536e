#!/usr/bin/env python3
"""The Debian package and the install rule, checked on what they produce. Argument: a
configured and built release tree (scripts/check passes build/release).

The package is made with cpack as a user would make it, then read back with dpkg-deb: its
control fields (Depends names libedit2 exactly when the build has FORTH_LINE_EDITING on,
read from CMakeCache.txt; absent means off), its files, the manual page compressed with
gzip -9n and equal to doc/forth.1, a changelog for this very version, the licence in the
copyright file, no error from lintian, and the packaged binary running every packaged
example byte for byte against its .out, with no controlling terminal. Then plain
cmake --install, with --prefix and with DESTDIR, gives the uncompressed tree.
"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

BUILD = None
SOURCE = Path(__file__).resolve().parents[2]
BANNER = b"FORTH-Interpreter Version 1.0\nType QUIT to leave. Any error ends the run.\n\n"
DOC = Path("usr/share/doc/forth")


def run(*command, **options):
    return subprocess.run(command, capture_output=True, check=True, **options)


def cache_entries(build):
    entries = {}
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        match = re.match(r"([^#/][^:=]*):[A-Z]+=(.*)", line)
        if match:
            entries[match.group(1)] = match.group(2)
    return entries


def cmake_true(value):
    # CMake's if(): ON, YES, TRUE, Y or a non-zero number.
    return value.upper() in ("ON", "YES", "TRUE", "Y") or (value.isdigit() and int(value) != 0)


def example_names(directory):
    return sorted(path.name for path in Path(directory).iterdir() if path.suffix in (".fs", ".out"))


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Path(tempfile.mkdtemp(prefix="forth-package-"))
        cache = cache_entries(BUILD)
        cls.version = cache["CMAKE_PROJECT_VERSION"] + "-1"
        cls.line_editing = cmake_true(cache.get("FORTH_LINE_EDITING", "OFF"))
        run("cpack", "--config", str(BUILD / "CPackConfig.cmake"), "-G", "DEB", "-B", str(cls.work))
        architecture = run("dpkg", "--print-architecture", text=True).stdout.strip()
        cls.deb = cls.work / f"forth_{cls.version}_{architecture}.deb"
        cls.root = cls.work / "root"
        run("dpkg-deb", "-x", str(cls.deb), str(cls.root))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work)

    def field(self, name):
        return run("dpkg-deb", "-f", str(self.deb), name, text=True).stdout.strip()

    def test_control_fields(self):
        self.assertEqual(self.field("Package"), "forth")
        self.assertEqual(self.field("Version"), self.version)
        self.assertEqual(self.field("Section"), "interpreters")
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^@<>\s]+\.[a-z]+>$")
        summary, _, long_description = self.field("Description").partition("\n")
        self.assertFalse(summary.startswith("forth"), summary)
        self.assertGreater(len(long_description.splitlines()), 3)

    def test_depends_on_the_libraries_the_binary_links(self):
        depends = [item.split()[0] for item in self.field("Depends").split(", ") if item]
        self.assertIn("libc6", depends)
        self.assertIn("libstdc++6", depends)
        if self.line_editing:
            self.assertIn("libedit2", depends, "FORTH_LINE_EDITING is on")
        else:
            self.assertNotIn("libedit2", depends, "FORTH_LINE_EDITING is off")

    def test_holds_the_program_its_manual_and_its_documents_under_usr(self):
        listing = run("dpkg-deb", "-c", str(self.deb), text=True).stdout.splitlines()
        modes = {line.split()[-1]: line.split()[0] for line in listing}
        self.assertEqual(modes.get("./usr/bin/forth"), "-rwxr-xr-x")
        for path in ("usr/share/man/man1/forth.1.gz", DOC / "README.md", DOC / "copyright",
                     DOC / "changelog.Debian.gz", DOC / "examples/README.md"):
            self.assertEqual(modes.get(f"./{path}"), "-rw-r--r--", path)
        self.assertEqual([path for path in modes if not path.startswith("./usr/")], [])
        self.assertEqual(example_names(self.root / DOC / "examples"), example_names(SOURCE / "examples"))

    def test_manual_page_is_compressed_without_name_or_time(self):
        packed = (self.root / "usr/share/man/man1/forth.1.gz").read_bytes()
        flags, mtime = packed[3], packed[4:8]
        self.assertEqual(flags & 0x08, 0, "gzip header holds a file name")
        self.assertEqual(mtime, bytes(4), "gzip header holds a time stamp")
        self.assertEqual(gzip.decompress(packed), (SOURCE / "doc/forth.1").read_bytes())

    def test_changelog_describes_this_version(self):
        changelog = gzip.decompress((self.root / DOC / "changelog.Debian.gz").read_bytes()).decode()
        self.assertTrue(changelog.startswith(f"forth ({self.version}) "), changelog.splitlines()[0])

    def test_copyright_file_carries_the_licence(self):
        copyright_file = (self.root / DOC / "copyright").read_text()
        self.assertIn("\nLicense: Expat\n", copyright_file)
        licence = (SOURCE / "LICENSE").read_text()
        holder = re.search(r"^Copyright \(c\) (.+)$", licence, re.MULTILINE).group(1)
        self.assertIn(f"\nCopyright: {holder}\n", copyright_file)
        for line in licence.split("\n\n", 2)[2].splitlines():
            self.assertIn(f"\n {line}\n" if line else "\n .\n", copyright_file)

    def test_lintian_finds_no_error(self):
        result = subprocess.run(["lintian", str(self.deb)], capture_output=True, text=True, check=False)
        self.assertNotEqual(result.returncode, 1, result.stderr)  # 1: lintian itself failed
        tags = result.stdout.splitlines()
        sys.stderr.write("".join(f"\n    lintian: {tag}" for tag in tags) + "\n")
        self.assertEqual([tag for tag in tags if tag.startswith("E:")], [])

    def test_packaged_binary_runs_the_packaged_examples(self):
        binary = self.root / "usr/bin/forth"
        examples = self.root / DOC / "examples"
        for program in sorted(examples.glob("*.fs")):
            with self.subTest(program=program.name), program.open("rb") as stdin:
                result = subprocess.run([binary], stdin=stdin, capture_output=True, timeout=10,
                                        start_new_session=True, check=False)
                expected = BANNER + program.with_suffix(".out").read_bytes()
                self.assertEqual(result.stdout, expected)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(result.returncode, 0)


class InstallRule(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp(prefix="forth-install-"))
        self.addCleanup(shutil.rmtree, self.work)

    def check_tree(self, prefix):
        self.assertTrue(os.access(prefix / "bin/forth", os.X_OK))
        self.assertEqual((prefix / "share/man/man1/forth.1").read_bytes(),
                         (SOURCE / "doc/forth.1").read_bytes())
        doc = prefix / "share/doc/forth"
        for name in ("README.md", "LICENSE", "examples/README.md"):
            self.assertEqual((doc / name).read_bytes(), (SOURCE / name).read_bytes(), name)
        self.assertEqual(example_names(doc / "examples"), example_names(SOURCE / "examples"))

    def test_install_into_a_prefix(self):
        run("cmake", "--install", str(BUILD), "--prefix", str(self.work))
        self.check_tree(self.work)

    def test_install_under_destdir(self):
        run("cmake", "--install", str(BUILD), "--prefix", "/usr",
            env={**os.environ, "DESTDIR": str(self.work)})
        self.check_tree(self.work / "usr")


if __name__ == "__main__":
    BUILD = Path(sys.argv.pop(1)).resolve()
    unittest.main(verbosity=2)
