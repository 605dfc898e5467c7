"""Crystallographic Information Files (CIF).

Read CIF text into a document whose every problem is a numbered diagnostic; edit and write
it back keeping comments and order; validate values against DDL1 dictionaries (the IUCr's
are bundled); check documents; and turn data blocks into crystal structures.

    import cif
    doc = cif.read("1100893.cif", dictionary=cif.Dictionary.core())
    block = doc[0]
    block["_cell_length_a"]          # '9.852(2)'
    block.number("_cell_length_a")   # Number(value=9.852, su=0.002)
    x, su = block.loop("_atom_site_label").numbers("_atom_site_fract_x")
"""

import os

from ._cif import *  # noqa: F401,F403
from . import _cif
from ._cif import _read_bytes, _read_file

_DICTIONARIES = os.path.join(os.path.dirname(__file__), "dict")

#: Short names of the bundled IUCr dictionaries.
BUNDLED = {
    "core": "cif_core.dic",
    "pd": "cif_pd.dic",
    "ms": "cif_ms.dic",
    "rho": "cif_rho.dic",
    "twinning": "cif_twinning.dic",
    "restraints": "cif_core_restraints.dic",
    "ddl": "ddl_core.dic",
}


def read(source, dictionary=None, max_line_length=2048, ignore=()):
    """Reads CIF from a path (str or os.PathLike; plain or .gz), or from a file object
    (text or binary), into a Document.

    Problems become the document's diagnostics; nothing raises for bad input, a missing file
    included (diagnostic 377). Values are checked against `dictionary` when one is given;
    without one, items are not reported as non-standard. Lines longer than
    `max_line_length` are reported. Diagnostic identifiers in `ignore` are not recorded.
    The interpreter's lock is released while reading.
    """
    ignore = [int(i) for i in ignore]
    if hasattr(source, "read"):
        data = source.read()
        if isinstance(data, str):
            data = data.encode("utf-8")
        return _read_bytes(data, dictionary, max_line_length, ignore)
    return _read_file(os.fspath(source), dictionary, max_line_length, ignore)


def read_string(text, dictionary=None, max_line_length=2048, ignore=()):
    """Reads CIF from a str (written as UTF-8) or bytes; see read()."""
    data = text.encode("utf-8") if isinstance(text, str) else bytes(text)
    return _read_bytes(data, dictionary, max_line_length, [int(i) for i in ignore])


def _bundled(name):
    """A bundled dictionary by short name ("core", "pd", "ms", "rho", "twinning",
    "restraints", "ddl") or file name ("cif_core.dic")."""
    path = os.path.join(_DICTIONARIES, BUNDLED.get(name, name))
    if not os.path.isfile(path):
        raise ValueError(f"no bundled dictionary {name!r}; known: {', '.join(BUNDLED)}")
    return Dictionary(path)  # noqa: F405


def _core():
    """The IUCr core dictionary (cif_core.dic), as bundled."""
    return _bundled("core")


Dictionary.bundled = staticmethod(_bundled)  # noqa: F405
Dictionary.core = staticmethod(_core)  # noqa: F405

for _name in dir(_cif):  # noqa: F405
    _class = getattr(_cif, _name)  # noqa: F405
    if isinstance(_class, type) and getattr(_class, "__module__", "") == "cif._cif":
        _class.__module__ = "cif"
