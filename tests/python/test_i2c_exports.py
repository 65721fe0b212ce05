"""The module exports the five I2C helpers under their plain C names, callable from C."""
import ctypes
import errno

import KorvaneDepthCamera

HELPERS = (
    "i2c_open_i2c_dev",
    "i2c_get_functionality",
    "i2c_set_slave_addr",
    "i2c_set_adapter_timeout",
    "i2c_set_adapter_retries",
)


def load_module_library():
    return ctypes.CDLL(KorvaneDepthCamera.__file__)


def test_the_five_helpers_are_exported_unmangled():
    library = load_module_library()
    for name in HELPERS:
        assert hasattr(library, name), name


def test_helpers_work_against_the_running_kernel():
    library = load_module_library()
    # An invalid descriptor: -EBADF back, with the helper's message on standard error.
    assert library.i2c_set_adapter_timeout(-1, 0) == -errno.EBADF
    assert library.i2c_set_adapter_retries(-1, 0) == -errno.EBADF
    assert library.i2c_set_slave_addr(-1, 0x0C, 0) == -errno.EBADF
    funcs = ctypes.c_ulong(0)
    assert library.i2c_get_functionality(-1, ctypes.byref(funcs)) == -errno.EBADF

    # A bus that no machine has: the name is written, the open fails quietly.
    name = ctypes.create_string_buffer(32)
    assert library.i2c_open_i2c_dev(987654, name, ctypes.c_size_t(len(name)), 1) < 0
    assert name.value == b"/dev/i2c-987654"
