#!/usr/bin/env python3
"""cif-check as users and pipelines run it: a table of command lines with the exit status and
the shape of the output each must give, then every real input through --format json beside
the text.

usage: check_cli.py CIF_CHECK DATA_DIR SHARED_DATA_DIR
"""
import gzip
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

PROGRAM, DATA, SHARED = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
CIF = DATA / "cif"
failures = []


def run(args, stdin=b"", cwd=None):
    """Standard input is the bytes given, through a pipe, or a file redirected to it."""
    if isinstance(stdin, pathlib.Path):
        with open(stdin, "rb") as redirected:
            done = subprocess.run([PROGRAM, *args], stdin=redirected, capture_output=True,
                                  cwd=cwd, timeout=300)
    else:
        done = subprocess.run([PROGRAM, *args], input=stdin, capture_output=True, cwd=cwd,
                              timeout=300)
    return done.returncode, done.stdout.decode("utf-8", "replace"), \
        done.stderr.decode("utf-8", "replace")


def expect(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


def lines_matching(pattern, text):
    return [line for line in text.splitlines() if re.search(pattern, line)]


# Inputs made for the table.
work = pathlib.Path(tempfile.mkdtemp(prefix="cif-check-cli-"))
long_line = work / "long.cif"
long_line.write_text("data_long\n_publ_section_title '" + "x" * 100 + "'\n")
repeated = work / "repeated.cif"
repeated.write_text("data_r\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
                    "O 0.1\nO 0.2\nO 0.3\nN 0.4\n")
bom = work / "bom.cif"
bom.write_bytes(b"\xef\xbb\xbfdata_marked\n_cell_length_a 5.0\n")
cif2 = work / "cif2.cif"
cif2.write_text("#\\#CIF_2.0\ndata_a\n_x [1 2 3]\n")
folder = work / "folder"
(folder / "deeper").mkdir(parents=True)
minimal = b"data_m\n_cell_length_a 5.0\n"
(folder / "a.CIF").write_bytes(minimal)
(folder / "deeper" / "b.dic").write_bytes(minimal.replace(b"data_m", b"data_b"))
(folder / "c.mmcif.gz").write_bytes(gzip.compress(minimal.replace(b"data_m", b"data_c")))
(folder / "notes.txt").write_text("not a CIF\n")
empty_folder = work / "empty"
empty_folder.mkdir()
written = work / "written"
written.mkdir()
lost = b"data_t\n_diffrn_measurement_method \\w scans\n"
paper = str(CIF / "1000026-MgB2.cif")
TEST_DATA = DATA.parent / "tests" / "data"
empty_dictionary = work / "empty.dic"
empty_dictionary.write_text("# defines nothing\n")
disordered = str(CIF / "1004001.cif")

# args, standard input, exit status, then (stream, pattern, expected count or None for
# "at least one") checks.
TABLE = [
    # a file not read as written fails, and says why; the written CIF stays clean
    (["-"], lost, 1, [("out", r"Ignored string scans \[312\]", 1),
                      ("out", r"FAILED \(text not read as written \(1 finding, first at line 2\)\)", 1)]),
    (["--write", "-", "-"], lost, 1, [("out", r"^data_t$", 1), ("out", r"FAILED|Warning", 0),
                                       ("err", r"FAILED", 1)]),
    (["--ignore", "312", "-"], lost, 0, [("out", r": ok$", 1)]),
    # a syntax check says nothing of standard items; the bundled core dictionary by name
    ([paper], b"", 0, [("out", r"non-standard", 0), ("out", r": ok$", 1)]),
    (["--non-standard", paper], b"", 0, [("out", r"Created non-standard data item", None)]),
    (["-d", "core", paper], b"", 0, [("out", r"_cod_database_code \[320\]", 1)]),
    (["-dcore", "--dict=pd", paper], b"", 0, [("out", r": ok$", 1)]),
    (["-d", "nonesuch", paper], b"", 2, [("err", r"dictionary nonesuch: No such file", 1)]),
    # lines: 2048 by default, as asked otherwise; the level that fails a file
    ([str(long_line)], b"", 0, [("out", r"characters long", 0)]),
    (["--line-length", "80", str(long_line)], b"", 0, [("out", r"More than 80 characters", 1)]),
    (["--line-length", "80", "--fail-on", "warning", str(long_line)], b"", 1,
     [("out", r"FAILED \(1 warning\)", 1)]),
    # identical findings folded, unless asked; a cap on findings
    (["-d", "core", "--rules", str(repeated)], b"", 0,
     [("out", r"repeats the value 'O' .* \(2 times\)$", 1)]),
    (["-d", "core", "--rules", "--no-fold", str(repeated)], b"", 0,
     [("out", r"repeats the value 'O'", 2)]),
    (["-d", "core", "--rules", "--no-fold", "--max-messages", "1", str(repeated)], b"", 0,
     [("out", r"repeats the value", 1), ("out", r"1 more findings not shown", 1)]),
    (["-"], b"data_a\n_x 1 y\n_z 2 y\n_w 3 y\n", 1,
     [("out", r"Line 2 : Ignored string y \[312\] \(3 times, last at line 4\)$", 1)]),
    # quiet: nothing for a file that passes
    (["-q", paper], b"", 0, [("out", r".", 0)]),
    (["-q", paper, "-"], lost, 1, [("out", r"^-: ", 2), ("out", r"2 files, 1 passed, 1 failed", 1)]),
    # inputs real users have
    (["--write", "-", str(bom)], b"", 0, [("out", r"^data_marked$", 1)]),
    (["-"], b"_cell_length_a 5.0\ndata_a\n", 1,
     [("out", r"FAILED \(text not read as written \(1 finding, first at line 1\)\)$", 1)]),
    ([str(cif2)], b"", 1, [("out", r"CIF 2.0 is not read.*\[376\]", 1), ("out", r"Error", 1)]),
    ([str(work / "missing.cif")], b"", 1, [("out", r"File could not be read : No such file", 1)]),
    ([str(folder)], b"", 0, [("out", r"a\.CIF: ", 1), ("out", r"b\.dic: ", 1),
                             ("out", r"c\.mmcif\.gz: 1 blocks", 1), ("out", r"notes", 0),
                             ("out", r"3 files, 3 passed", 1)]),
    ([str(empty_folder)], b"", 1, [("err", r"no \.cif, \.dic or \.mmcif files", 1)]),
    # writing several inputs: one file each in a folder, or refused
    (["--write", str(written), paper, str(bom), str(folder / "c.mmcif.gz")], b"", 0,
     [("out", r": ok$", 3)]),
    (["--write", str(work / "one.cif"), paper, str(bom)], b"", 2,
     [("err", r"needs an existing folder", 1)]),
    (["--write", "-", paper, str(bom)], b"", 2, [("err", r"--write", 1)]),
    (["--write", "-", "--convert", "-", paper], b"", 2,
     [("err", r"would both write to standard output", 1), ("out", r".", 0)]),
    # checks, with standard input redirected and piped
    (["--dict", str(DATA / "dict" / "cif_core.dic"), "--mandatory",
      str(CIF / "2003526-r-factor-with-esd.cif")], b"", 0,
     [("out", r"Line 73 : Data value should not have a standard uncertainty \(ESD\) : "
              r"_refine_ls_R_factor_obs \[329\]$", 1),
      ("out", r"Line 13 : Data item _publ_author_name not found in block data_2003526", 1),
      ("out", r": 1 blocks, 75 items, 1 loops, 0 errors, 9 warnings, 1 remarks: ok$", 1)]),
    (["-"], pathlib.Path(paper), 0,
     [("out", r"^-: 1 blocks, 30 items, 2 loops, 0 errors, 0 warnings, 0 remarks: ok$", 1)]),
    (["-"], pathlib.Path(paper).read_bytes(), 0,
     [("out", r"^-: 1 blocks, 30 items, 2 loops, 0 errors, 0 warnings, 0 remarks: ok$", 1)]),
    (["--consistency", str(TEST_DATA / "urea.cif")], b"", 0,
     [("out", r"space group P -4 21 m \(number 113\), volume 146.65\(8\) \(stated 146.65\(9\)\)$", 1),
      ("out", r"formula weight 60.0553 \(stated 60.06\), density 1.360 g/cm3", 1)]),
    (["--atoms", str(CIF / "1100893.cif")], b"", 0,
     [("out", r"79 atoms, 2 molecules: C34 H10 F20 N P2 Pd, B F4$", 1),
      ("out", r"disorder assembly 1, groups 1 \(3 atoms\) 2 \(3 atoms\) 3 \(3 atoms\)$", 1)]),
    # entries of several files sharing an identifier are all written, each under its own
    (["--convert", "-", str(CIF / "2205053-molecule.cif"), str(CIF / "2205053-molecule.cif")],
     b"", 0, [("err", r"2205053: identifier taken by an earlier entry; written as 2205053_2$", 1),
              ("out", r"^data_2205053$", 1), ("out", r"^data_2205053_2$", 1),
              ("err", r"2 files, 2 passed", 1)]),
    (["--summary", "missing.cif", str(TEST_DATA / "urea.cif")], b"", 1,
     [("out", r"^missing.cif: Error: File could not be read : No such file or directory \[377\]$", 1),
      ("out", r"^missing.cif: 0 blocks, .*FAILED \(text not read as written \(1 finding\); 1 error\)$", 1),
      ("out", r"urea.cif: urea: cell ", 1)]),
    # a dictionary with long lines is used; one that defines nothing stops the program
    (["--dict", str(TEST_DATA / "long_line.dic"), "-"], b"data_x\n_cell_length_a -5\n", 0,
     [("out", r"^-: Warning: Line 2 : Data value should be greater than a defined limit : "
              r"_cell_length_a \[327\]$", 1)]),
    (["--dict", str(empty_dictionary), paper], b"", 2,
     [("err", r"empty.dic defines nothing$", 1), ("out", r".", 0)]),
    # conventions
    (["--version"], b"", 0, [("out", r"^cif-check (\d+\.\d+\.\d+) \(library \1\)$", 1)]),
    (["--bogus", paper], b"", 2, [("err", r"^cif-check: unknown option '--bogus'$", 1),
                                  ("err", r"--help", 1), ("out", r".", 0)]),
    (["-x", paper], b"", 2, [("err", r"unknown option '-x'", 1)]),
    (["--jobs", "0", paper], b"", 2, [("err", r"--jobs: '0' is not a number of at least 1", 1)]),
    (["-qj2", paper], b"", 0, [("out", r".", 0)]),
    ([], b"", 2, [("err", r"no FILE given", 1)]),
    (["--summary", str(CIF / "1100893.cif")], b"", 0,
     [("out", r"cell \S+ \S+ \S+ \S+ \S+ \S+, ", 1)]),
    (["--consistency", str(CIF / "2009397.cif")], b"", 0,
     [("out", r"operators match no tabulated group; not among those of R 3 :H \(number 146\): "
      r"y\+2/3,-x\+1/3,z\+1/3 y\+1/3,-x\+2/3,z\+2/3,", 1)]),
]

for args, stdin, status, checks in TABLE:
    name = "cif-check " + " ".join(args)
    code, out, err = run(args, stdin)
    expect(name, code == status, f"exit {code}, expected {status}\n{out}{err}")
    for stream, pattern, count in checks:
        found = lines_matching(pattern, out if stream == "out" else err)
        ok = len(found) >= 1 if count is None else len(found) == count
        expect(name, ok, f"{stream} has {len(found)} lines matching {pattern!r}:\n{out}{err}")

for name, header in (("1000026-MgB2.cif", "data_1000026"), ("bom.cif", "data_marked"),
                     ("c.mmcif", "data_c")):
    expect("--write folder " + name,
           header in (written / name).read_text(errors="replace").splitlines())

# A binary file: folded findings, and nothing a terminal would take as a control sequence.
binary = work / "binary.cif"
binary.write_bytes(bytes(range(256)) * 80)
code, out, _ = run([str(binary)])
expect("binary file", code == 1 and len(out.splitlines()) < 400, f"{len(out.splitlines())} lines")
expect("binary file", not re.search(r"[\x00-\x08\x0b-\x1f\x7f]", out), "control characters")

# A converted structure summarised as the database reads it back.
_, converted, _ = run(["--convert", "-", str(CIF / "2205053-molecule.cif")])
_, summary, _ = run(["--summary", "-"], converted.encode())
expect("summary of converted", lines_matching(
    r"^-: 2205053: cell 11.0319\(5\) 6.8524\(4\) 7.7018\(4\) \S+ \S+ \S+, P 1 21/c 1, formula not "
    r"stated, 12 atoms, 1 molecules \(C4 H8 Br2 Cu N8\)$", summary), summary)

# JSON Lines and TSV carry what the text says.
code, out, _ = run(["-f", "json", "-d", "core", "--rules", "--consistency", disordered])
records = [json.loads(line) for line in out.splitlines()]
kinds = [r["kind"] for r in records]
expect("json kinds", kinds.count("file") == 1 and kinds[-2:] == ["file", "batch"], kinds)
finding = next(r for r in records if r["kind"] == "finding" and r["id"] == 371)
expect("json finding", finding["block"] == "data_d5" and finding["line"] == 184 and
       finding["severity"] == "warning" and finding["arguments"] == ["_atom_site_label", "'H20R'"],
       finding)
expect("json note", any(r["kind"] == "note" and r["section"] == "consistency" for r in records))
code, out, _ = run(["-f", "tsv", "-d", "core", "--rules", disordered, paper])
rows = [line.split("\t") for line in out.splitlines()]
expect("tsv shape", all(len(row) == 11 for row in rows), rows[:3])
expect("tsv header", rows[0][:3] == ["kind", "file", "block"], rows[0])
expect("tsv rows", [row[0] for row in rows].count("file") == 2 and rows[-1][0] == "batch", rows)
code, out, _ = run(["-f", "json", "-"], b"data_a\n_x '\xff\x01\xc3\xa9'\n")
expect("json of any bytes", [json.loads(line)["kind"] for line in out.splitlines()][-2:] ==
       ["file", "batch"], out)


def findings_of_text(text):
    found = []
    for line in text.splitlines():
        match = re.search(r": (Error|Warning|Remark): (?:Line (-?\d+) : )?.*\[(\d+)\]"
                          r"(?: \((\d+) times.*\))?$", line)
        if match:
            found.append((int(match.group(3)), int(match.group(2) or -1), int(match.group(4) or 1)))
    return found


# Every real input: the JSON parses and holds the findings of the text, one for one.
inputs = [str(p) for folder in (CIF, SHARED / "cif", SHARED / "edge", SHARED / "malformed")
          if folder.is_dir() for p in sorted(folder.iterdir()) if p.is_file()]
_, text, _ = run(["-j", "2", "-d", "core", "--rules", *inputs])
_, lines, _ = run(["-j", "2", "-d", "core", "--rules", "-f", "json", *inputs])
by_file = {}
for line in lines.splitlines():
    record = json.loads(line)
    if record["kind"] == "finding":
        by_file.setdefault(record["file"], []).append(
            (record["id"], record["line"], record["count"]))
for path in inputs:
    text_findings = findings_of_text("\n".join(l for l in text.splitlines()
                                               if l.startswith(path + ": ")))
    expect("json beside text " + path, text_findings == by_file.get(path, []),
           f"{text_findings[:5]} against {by_file.get(path, [])[:5]}")
expect("json inputs", len(inputs) >= 53, len(inputs))

# The README documents every option the help names.
_, help_text, _ = run(["--help"])
readme = (DATA.parent / "README.md").read_text()
for option in sorted(set(re.findall(r"--[a-z][a-z-]+", help_text))):
    expect("README documents " + option, "`" + option in readme)

shutil.rmtree(work)
for failure in failures:
    print("FAILED", failure[:3000])
print(f"{len(TABLE) + len(inputs)} checks of cif-check, {len(failures)} failed")
sys.exit(1 if failures else 0)
