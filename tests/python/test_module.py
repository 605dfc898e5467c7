"""The module as a whole: its stub file names what it has, everything is documented, and
classes present themselves as cif's."""

import ast
import re
import inspect
import os

import cif


def stub_names():
    """{class or function name: set of member names} of the stub file."""
    with open(os.path.join(os.path.dirname(cif.__file__), "__init__.pyi")) as stub:
        tree = ast.parse(stub.read())
    names = {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            members = set()
            for item in node.body:
                if isinstance(item, ast.FunctionDef):
                    members.add(item.name)
                elif isinstance(item, ast.AnnAssign):
                    members.add(item.target.id)
            names[node.name] = members
        elif isinstance(node, ast.FunctionDef):
            names[node.name] = set()
    return names


def public(names):
    return {n for n in names if not n.startswith("_") or n in ("__len__", "__getitem__", "__iter__", "__contains__", "__setitem__", "__delitem__")}


def test_the_stub_names_what_the_module_has():
    stub = stub_names()
    module = {n for n in dir(cif) if not n.startswith("_") and not inspect.ismodule(getattr(cif, n))}
    assert set(stub) == module - {"BUNDLED", "PUBLICATION_ITEMS", "STRUCTURE_ITEMS"}
    for name, members in stub.items():
        thing = getattr(cif, name)
        if not inspect.isclass(thing):
            continue
        if issubclass(thing, Exception):
            continue  # its attributes are set on each instance
        if issubclass(thing, tuple):
            assert members <= set(dir(thing)), name
            continue
        own = public(n for n in dir(thing) if n not in dir(object) or n in ("__eq__",))
        own -= {"__members__", "__entries", "__index__", "__int__", "__getstate__", "__setstate__"}
        assert public(members) == own, name


def test_everything_is_documented():
    for name in dir(cif):
        thing = getattr(cif, name)
        if name.startswith("_") or inspect.ismodule(thing) or not callable(thing):
            continue
        assert (thing.__doc__ or "").strip(), name
        assert thing.__module__ == "cif", name


def test_the_module_explains_itself():
    assert "CIF" in cif.__doc__ and "read" in cif.__doc__


def described(member):
    """pybind11 starts a function's docstring with its signature; a description follows."""
    doc = (member.__doc__ or "").strip()
    if re.match(r"^\w+\(.*\) -> ", doc):
        return len(doc.split("\n\n", 1)) == 2
    return bool(doc)


def test_every_method_and_property_is_described():
    undescribed = []
    for name in dir(cif):
        cls = getattr(cif, name)
        if not inspect.isclass(cls) or issubclass(cls, (tuple, Exception)):
            continue
        for member_name, member in vars(cls).items():
            if member_name.startswith("_") or member_name in getattr(cls, "__members__", {}):
                continue
            if member_name in ("name", "value") and hasattr(cls, "__members__"):
                continue
            if not described(member):
                undescribed.append(f"{name}.{member_name}")
    assert undescribed == []
