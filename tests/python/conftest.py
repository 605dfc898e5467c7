"""Paths the Python tests share: the bundled files, the optional shared corpora, cif-check."""

import glob
import os

import pytest

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA = os.environ.get("CIF_DATA_DIR", os.path.join(SOURCE, "data"))
SHARED = os.environ.get("CIF_SHARED_DATA_DIR", os.path.join(SOURCE, "..", "shared", "data"))
CIF_CHECK = os.environ.get("CIF_CHECK", "")


def bundled_structures():
    return sorted(glob.glob(os.path.join(DATA, "cif", "*.cif")))


def shared_files(folder):
    return sorted(glob.glob(os.path.join(SHARED, folder, "*")))


def all_structures():
    """The bundled structures and those of the shared corpus, each name once."""
    seen = {os.path.basename(p) for p in bundled_structures()}
    extra = [p for p in shared_files("cif") if p.endswith(".cif") and os.path.basename(p) not in seen]
    return bundled_structures() + extra


def bundled(name):
    return os.path.join(DATA, "cif", name)


@pytest.fixture(scope="session")
def core():
    import cif

    return cif.Dictionary.core()


@pytest.fixture
def cif_check():
    if not CIF_CHECK or not os.path.exists(CIF_CHECK):
        pytest.skip("cif-check not built")
    return CIF_CHECK
