"""The type stubs installed beside the module describe the binding as it is: the same
names, enumeration members and values, bases, parameters, defaults, return types and
docstrings. Catches a stub left behind when the binding changes (or the reverse)."""
import ast
import inspect
from pathlib import Path

import pytest

import KorvaneDepthCamera as K

STUB_PATH = Path(K.__file__).with_name("KorvaneDepthCamera.pyi")
STUB = ast.parse(STUB_PATH.read_text())
STUB_CLASSES = {node.name: node for node in STUB.body if isinstance(node, ast.ClassDef)}
BINDING_CLASSES = {name: obj for name, obj in vars(K).items() if isinstance(obj, type)}


def public(names):
    return {n for n in names if not n.startswith("_")}


def normalise(annotation):
    """Writes a stub or pybind11 annotation in one form: the module prefix dropped, numpy
    arrays as ndarray, and Optional returns (which pybind11 cannot spell) as their type."""
    text = ast.unparse(annotation) if isinstance(annotation, ast.AST) else annotation
    text = text.replace("KorvaneDepthCamera.", "").replace("NDArray[", "numpy.ndarray[")
    return text.removesuffix(" | None")


def binding_signature(function):
    """The signature pybind11 writes as the first line of the docstring, parsed."""
    first_line = function.__doc__.split("\n", 1)[0]
    return ast.parse(f"def {first_line}: ...").body[0]


def binding_doc(function):
    parts = function.__doc__.split("\n\n", 1)
    return parts[1].rstrip("\n") if len(parts) > 1 else None


def enum_member_lines(cls_node):
    """(name, value comment) of each `NAME: ClassVar[Cls]  # value` line, in order."""
    lines = STUB_PATH.read_text().splitlines()
    members = []
    for item in cls_node.body:
        if isinstance(item, ast.AnnAssign) and ast.unparse(item.annotation) == f"ClassVar[{cls_node.name}]":
            comment = lines[item.lineno - 1].partition("#")[2]
            members.append((item.target.id, int(comment.split(",")[0])))
    return members


def test_stub_lies_beside_the_module():
    assert STUB_PATH.is_file()


def test_same_module_level_names():
    stub_names = set(STUB_CLASSES) | {n.target.id for n in STUB.body if isinstance(n, ast.AnnAssign)}
    assert stub_names == public(dir(K)) | {"__version__"}


@pytest.mark.parametrize("name", sorted(BINDING_CLASSES))
def test_class_matches(name):
    cls, node = BINDING_CLASSES[name], STUB_CLASSES[name]
    assert [ast.unparse(b) for b in node.bases] == [b.__name__ for b in cls.__bases__ if b.__module__ == K.__name__]
    assert ast.get_docstring(node) == (cls.__doc__ if not hasattr(cls, "__members__") else None)

    stub_members = enum_member_lines(node)
    if hasattr(cls, "__members__"):
        assert stub_members == [(m, int(v)) for m, v in cls.__members__.items()]
    stub_public = {item.name for item in node.body if isinstance(item, ast.FunctionDef)}
    stub_public |= {item.target.id for item in node.body if isinstance(item, ast.AnnAssign)}
    stub_public -= {m for m, _ in stub_members}
    assert public(stub_public) == public(vars(cls)) - set(getattr(cls, "__members__", {}))


def stub_functions():
    for cls_name, node in STUB_CLASSES.items():
        for item in node.body:
            if isinstance(item, ast.FunctionDef) and not any(ast.unparse(d) == "property" for d in item.decorator_list):
                yield cls_name, item


@pytest.mark.parametrize("cls_name,stub", list(stub_functions()), ids=lambda v: getattr(v, "name", v))
def test_method_matches(cls_name, stub):
    bound = vars(BINDING_CLASSES[cls_name]).get(stub.name)
    if bound is None or not (bound.__doc__ or "").startswith(f"{stub.name}("):
        pytest.skip("pybind11's own enumeration method, not written by the binding")
    signature = binding_signature(bound)
    assert [a.arg for a in stub.args.args] == [a.arg for a in signature.args.args]
    assert [normalise(a.annotation) for a in stub.args.args[1:]] == \
        [normalise(a.annotation) for a in signature.args.args[1:]]
    assert [ast.unparse(d) for d in stub.args.defaults] == [ast.unparse(d) for d in signature.args.defaults]
    assert normalise(stub.returns) == normalise(signature.returns)
    assert ast.get_docstring(stub) == binding_doc(bound)


def getter_returns(cls, name):
    return inspect.cleandoc(vars(cls)[name].fget.__doc__).split("\n")[0].split("->")[-1].strip()


@pytest.mark.parametrize("cls_name", ["KorvaneFormat", "KorvaneInfo", "KorvaneStatistics"])
def test_fields_match(cls_name):
    """Writable fields are annotations in the stub, read-only ones properties."""
    cls = BINDING_CLASSES[cls_name]
    for item in STUB_CLASSES[cls_name].body:
        if isinstance(item, ast.AnnAssign):
            assert vars(cls)[item.target.id].fset is not None, item.target.id
            assert normalise(item.annotation) == normalise(getter_returns(cls, item.target.id)), item.target.id
        elif isinstance(item, ast.FunctionDef):
            bound = vars(cls)[item.name]
            assert bound.fset is None, item.name
            assert normalise(item.returns) == normalise(getter_returns(cls, item.name)), item.name
            assert ast.get_docstring(item) == bound.__doc__, item.name
